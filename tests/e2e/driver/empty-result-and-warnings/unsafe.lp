{ p(a). q(X) :- not p(X). }
{ :- not r(W, V), s. }
