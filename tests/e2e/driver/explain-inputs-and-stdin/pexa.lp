{ on. }
{ -on :- fail. fail. }
