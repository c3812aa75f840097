%* pexa *%
{ #const n=1. a :- not b. b :- not a. #show a/0. }
{ -b. }
