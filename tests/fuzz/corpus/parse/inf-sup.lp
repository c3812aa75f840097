p(#inf). p(#sup). q(f(#inf), g(#sup)).
lt(X,Y) :- p(X), p(Y), X < Y.
r(#inf+1). s(-#sup). #const lo = #inf.
c :- #inf < #count{ X : p(X) }, #count{ X : p(X) } <= #sup.
{ t(#inf); t(#sup) : p(#sup) } 1 :- p(lo).
p(#infinity). q :- #sup.
