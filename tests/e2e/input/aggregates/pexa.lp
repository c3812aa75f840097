a :- #count{ 1 : b } >= 1.
