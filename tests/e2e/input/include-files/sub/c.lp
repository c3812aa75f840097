d :- b.
