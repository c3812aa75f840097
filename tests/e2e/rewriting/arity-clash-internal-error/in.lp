p(X) :- q(X).
-p(a,b).
q(c).
