% Every aggregate function, guards on either side, an assignment, negation.
w(a,3). w(b,-1). w(c,4).
{ in(X) : w(X,_) }.
n(N) :- N = #count{ X : in(X) }.
heavy :- #sum{ W,X : in(X), w(X,W) } > 5.
light :- 0 <= #sum+{ W,X : in(X), w(X,W) } <= 3.
low(M) :- M = #min{ W : in(X), w(X,W) }, #count{ X : in(X) } >= 1.
top(M) :- #max{ W : in(X), w(X,W) } = M, n(N), N > 1.
none :- not 1 <= #count{ X : in(X) }.
:- #count{ X : in(X), X != b } > 1.
