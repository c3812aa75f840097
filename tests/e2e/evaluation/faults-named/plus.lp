q(1).
r(Y) :- q(X), +(X,X,Y).
