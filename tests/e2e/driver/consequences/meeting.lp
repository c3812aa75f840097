% An update with an answer set that is not minimal.
%
% The meeting was planned. The update says it is off unless it is
% confirmed, and confirmed unless it is off. Both readings are update answer
% sets: {-meeting} rejects the old fact meeting., {confirmed, meeting}
% rejects nothing. Only the second changes the old program as little as
% possible, and -min (or -strict) keeps only that one.
%
%   $ build/vok -silent -p=build/rox-clingo examples/meeting.lp
%   {-meeting}
%   {confirmed, meeting}
%   $ build/vok -silent -min -p=build/rox-clingo examples/meeting.lp
%   {confirmed, meeting}
%
% Cautious reasoning: is the meeting on in every answer set? Not among all
% update answer sets ({-meeting} is the witness), but among the minimal ones.
%
%   $ build/vok -silent -p=build/rox-clingo -FC=meeting examples/meeting.lp
%   false.
%   {-meeting}
%   $ build/vok -silent -min -p=build/rox-clingo -FC=meeting examples/meeting.lp
%   true.

{
  meeting.
}
{
  -meeting :- not confirmed.
  confirmed :- not -meeting.
}
