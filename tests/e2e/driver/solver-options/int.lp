{ n(X) :- #int(X), X < 3. }
{ -n(X) :- #int(X), X == 1. }
