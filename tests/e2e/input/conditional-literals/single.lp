r(1). r(2). q(1). q(2). t(1).
all :- q(X) : r(X).
some :- not t(X) : r(X), X > 1; all.
:- q(X) : r(X); not all.
