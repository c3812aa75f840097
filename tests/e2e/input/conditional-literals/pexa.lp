a. b.
c :- a : b.
