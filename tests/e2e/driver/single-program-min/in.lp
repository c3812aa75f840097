a.
b :- a, not c.
