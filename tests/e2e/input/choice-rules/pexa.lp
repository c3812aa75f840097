% pexa: choices without bounds work (bounds need #count, which pexa lacks).
{ { a ; b }. b :- not a. }
{ -a :- b. }
