q(1).

r(Y) :- q(X), #succ(X,Y).
