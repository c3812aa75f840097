{ a :- not b. b :- not a. c :- a. -c :- b. }
