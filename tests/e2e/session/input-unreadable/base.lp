{ p(a). p(b). q(X) :- p(X), not r(X). }
{ r(a) :- s. }
