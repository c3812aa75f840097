p(1).
a :- #count{ X : p(X), #count{ Y : p(Y) } > 0 } > 0.
