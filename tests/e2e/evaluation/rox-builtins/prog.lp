% Arithmetic over 0..5, bound in every argument position.
q(4). q(5).
prev(X1) :- q(X0), +(X1,1,X0).
next(X1) :- q(X0), #succ(X0,X1).
split(X,Y) :- +(X,Y,2).
root(X) :- *(X,X,4).
half(X) :- q(Y), *(2,X,Y).
small(X) :- #int(X), <(X,2).
far(X) :- q(X), >=(X,5), !=(X,4).
