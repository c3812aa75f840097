% A duty rota, revised twice: choices with bounds, an interval, #const and an
% aggregate in update programs.
%
% Program 0 staffs each of the n days with one or two people; program 1 says
% ann cannot work on day 2, and program 2 that bob cannot on day 3: each
% rejects one instance of the choice, and the bounds, constraints of program
% 0, still ask for someone every day. Program 2 also calls a day with two
% people busy, counted by #count over the atoms as they finally hold.
%
%   $ build/vok -silent -p=build/rox-clingo --show=duty/2,busy/1 examples/rota.lp
%   {duty(ann,3), duty(bob,1), duty(bob,2)}
%   {busy(1), duty(ann,1), duty(ann,3), duty(bob,1), duty(bob,2)}
%   {duty(ann,1), duty(ann,3), duty(bob,2)}
%
% Must bob work on day 2 in every answer set? Yes, ann cannot:
%
%   $ build/vok -silent -p=build/rox-clingo -FC='duty(bob,2)' examples/rota.lp
%   true.
{
  #const n = 3.
  day(1..n).
  person(ann). person(bob).
  1 { duty(P,D) : person(P) } 2 :- day(D).
}
{
  -duty(ann,2).
}
{
  -duty(bob,3).
  busy(D) :- day(D), #count{ P : duty(P,D) } >= 2.
}
