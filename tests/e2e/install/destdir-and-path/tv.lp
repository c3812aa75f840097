{ on. }
{ -on :- failure. failure. }
