{ on :- not off. }
{ off. }
