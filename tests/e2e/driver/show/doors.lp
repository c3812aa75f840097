% Rules with variables, and goals with arguments.
%
% A door is open unless it is locked, and the back door is locked. The update
% finds the key: the back door is no longer locked, which rejects the old
% fact locked(back)., so both doors are open.
%
%   $ build/vok -silent -p=build/rox-clingo examples/doors.lp
%   {-locked(back), door(back), door(front), key_found, open(back), open(front)}
%   $ build/vok -silent -p=build/rox-clingo -FC='open(back)' examples/doors.lp
%   true.
%   $ build/vok -silent -p=build/rox-clingo -FB='locked(back)' examples/doors.lp
%   false.
%
% Programs with variables are first order: the propositional evaluation
% program type refuses them (-P=pexa ends with status 1).

{
  open(X) :- door(X), not locked(X).
  door(front).
  door(back).
  locked(back).
}
{
  -locked(back) :- key_found.
  key_found.
}
