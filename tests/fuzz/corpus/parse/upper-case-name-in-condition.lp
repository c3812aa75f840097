r(1). q(1).
p :- q(X) : r(X), X .
