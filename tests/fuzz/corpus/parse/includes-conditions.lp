a.
#include "b.lp".
#include "".
#include b.lp.
#include "../x" .
p :- q(X) : r(X).
:- a(X) : b(X), not c(X).
p :- q(X) : r(X); s.
p(X) : q(X) :- r.
{ a } :- b : c.
p(#inf). q :- X < #sup, r(X).
