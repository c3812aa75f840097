a v b.
:- a.
:- b.
