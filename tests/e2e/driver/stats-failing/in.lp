{ a. }
{ -a :- not b. b :- not -a. }
