a :- not not b.
