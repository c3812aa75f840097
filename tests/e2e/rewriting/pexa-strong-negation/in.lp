{ p :- q. q. }
{ -p :- q, not r. }
