% Disjunction, strong negation and names clingo would read differently.
p(a).
q(X) :- p(X), not r(X).
a v b :- .
-c :- a.
c :- b.
P(c) :- b.
"my pred"(a) :- a.
not_a :- not a.
