{ p("a
b") :- not q. }
{ -p(X) :- r(X). r("a
b"). s :- r(X). }
