{ 1 { p(X) : q(X), not r(X); s } 2 :- t.  q(1..3).  { u }.  n { v(a;b) }. }
{ -p(2).  c :- #count{ X : q(X) } >= 2.  d(N) :- N = #sum{ X, Y : q(X), q(Y) }.
  e :- not 1 < #min{ X : q(X) } <= 3, #max{ X : q(X) } != 2, #sum+{ 1 : u } = 1. }
