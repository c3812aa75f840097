p(1). p(2).
q(X) :- p(Y), r(X*X).
