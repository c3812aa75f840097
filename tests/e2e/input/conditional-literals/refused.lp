p :- q(X) : not r(X).
{ a } :- q(X) : r(X).
