n(X) :- #int(X).
pick(X) v skip(X) :- n(X), <(X,3).
sum(Z) :- pick(X), pick(Y), <(X,Y), +(X,Y,Z).
