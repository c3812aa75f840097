{ a :- not b. }
