% Quoted arguments holding blanks, commas, braces and parentheses, on one
% answer set line far longer than 255 characters.
{
  note("no 1, {a}  (b), c", 1).
  note("no 2, {a}  (b), c", 2).
  note("no 3, {a}  (b), c", 3).
  note("no 4, {a}  (b), c", 4).
  note("no 5, {a}  (b), c", 5).
  note("no 6, {a}  (b), c", 6).
  note("no 7, {a}  (b), c", 7).
  note("no 8, {a}  (b), c", 8).
  note("no 9, {a}  (b), c", 9).
  keep(X) :- note(X, N).
}
{
  -note("no 3, {a}  (b), c", 3).
}
