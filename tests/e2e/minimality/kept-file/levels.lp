% Two old facts from programs of different age; the newest program
% contradicts one or the other. Both answer sets are minimal, but only the
% one that gives up the older fact is strictly minimal.
{ a. }
{ c. }
{
  -a :- not -c.
  -c :- not -a.
}
