{ a(X) :- p(X), not b(X). b(X) :- p(X), not a(X). p(1). q(X) :- r(X). r(1). }
