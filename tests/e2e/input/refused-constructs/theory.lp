q :- &diff { a - b } <= 3.
