% Function terms and arithmetic as clingo reads them; updates reject
% instances by value.
{ n(1). n(2). n(3).
  p(f(X), X*2) :- n(X).
  q(X+1) :- n(X).
  r(Y) :- n(X), Y = (X - 5) / 2 + 10 \ 3 ** 2.
  s(X) :- n(X), X + 1 < 2 * 2, |X - 3| != 0.
  t(-a). t(f(g(1), "x y")).
  u(X) :- q(X+1).
  a :- not not b.
  b :- n(1).
  v(a+1). }
{ -p(f(2),4). -q(3) :- n(3). }
