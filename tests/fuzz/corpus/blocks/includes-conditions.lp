{ a. }
{ #include "b.lp". }
{ b :- c : d. }
