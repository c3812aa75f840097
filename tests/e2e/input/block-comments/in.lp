%* Block comments may span lines,
   hold rules such as p. or braces }
   and end at the first *% a :- not b. %**%
b :- not a. %* one line *%
c :- not c, %* inside a rule *% a.
