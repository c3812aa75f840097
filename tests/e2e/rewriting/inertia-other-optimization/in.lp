{ p(X) :- q(X). q(a). }
{ -p(X) :- q(X), not r(X). -r(X) :- q(X). -s. }
