p(1).
a(Y) :- #count{ X : p(X) } > Y.
