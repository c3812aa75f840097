{ x. y. z. }
{ -x :- not a. -y :- not b. -z :- not c. a :- not b. }
