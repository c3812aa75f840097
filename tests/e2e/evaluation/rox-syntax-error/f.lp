p(a).
q(b) :- p(a).
r(a b).
