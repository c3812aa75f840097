{ a. } { -a :- not b. }
