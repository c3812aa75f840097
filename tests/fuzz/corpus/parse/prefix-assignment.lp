p(X) :- q(Y) ,X = Y * 3, #int(X), +(X, 1, Z), Z <83, no= r.
% comment
