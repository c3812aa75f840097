p(a).
q(X) :- p(a), not r(X).
