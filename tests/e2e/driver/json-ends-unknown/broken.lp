{ p(X) :- not q(X). }
