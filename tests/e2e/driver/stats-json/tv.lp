% A television, watched while it is on, through three updates.
%
% The first program says the TV is on. The second learns of a power failure,
% which switches the TV off: its rule -tv_on :- power_failure. rejects the
% older fact tv_on., so watch_tv no longer holds and sleep does. The third
% retracts the power failure: -power_failure. rejects power_failure., the
% rule of the second program no longer fires, and tv_on is back in force by
% inertia.
%
% The answer set of the whole sequence (also with the propositional
% evaluation program):
%
%   $ build/vok -silent -p=build/rox-clingo examples/tv.lp
%   {-power_failure, tv_on, watch_tv}
%   $ build/vok -silent -P=pexa -p=build/pexa-clingo examples/tv.lp
%   {-power_failure, tv_on, watch_tv}
%
% Brave reasoning: is the TV watched in some answer set?
%
%   $ build/vok -silent -p=build/rox-clingo -FB=watch_tv examples/tv.lp
%   true.
%   {-power_failure, tv_on, watch_tv}
%
% Without the third program (tv-off.lp holds the first two) the TV is off:
%
%   $ build/vok -silent -p=build/rox-clingo examples/tv-off.lp
%   {-tv_on, power_failure, sleep}
%
% Why: --explain follows each answer set with the rules that newer programs
% rejected, where they were read, and the literal that rejected them:
%
%   $ build/vok -silent --explain -p=build/rox-clingo examples/tv.lp
%   {-power_failure, tv_on, watch_tv}
%     rejected: program 1, rule 1 (examples/tv.lp:46) "power_failure." by -power_failure of program 2
%   $ build/vok -silent --explain -p=build/rox-clingo examples/tv-off.lp
%   {-tv_on, power_failure, sleep}
%     rejected: program 0, rule 2 (examples/tv-off.lp:10) "tv_on." by -tv_on of program 1

{
  sleep :- not tv_on.
  watch_tv :- tv_on.
  tv_on.
}
{
  -tv_on :- power_failure.
  power_failure.
}
{
  -power_failure.
}
