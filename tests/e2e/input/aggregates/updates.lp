% Program 1 rejects q(2); the count of program 0 sees the final atoms, as
% any body atom does.
{ q(1). q(2). q(3).  many :- #count{ X : q(X) } >= 3. }
{ -q(2). }
