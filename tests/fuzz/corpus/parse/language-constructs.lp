#const n=3. %* block
 comment *%
p(1..n). q(a;b). r(1,x;2,y). s(X) :- p(X;Y), q(X), q(Y).
-p(-3). t :- p(X), X < -2.
#show p/1. #show -p/1. #show.
