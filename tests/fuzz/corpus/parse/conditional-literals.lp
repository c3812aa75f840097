r(1). q(1).
p :- q(X) : r(X), X > 0; not s.
:- a(X) : b(X), not c(X); d.
t(Y) :- d(Y), not q(X) : r(X), X != Y.
