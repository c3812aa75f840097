{ a. b. }
{ -a :- not -b. -b :- not -a. }
