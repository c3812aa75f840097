p(1).
q(X) :- p(Y), X = Y / 2, #int(X + 1).
