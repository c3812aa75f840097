% The first two programs of tv.lp: the power failure is learnt and the TV is
% off, so sleep holds instead of watch_tv.
%
%   $ build/vok -silent -p=build/rox-clingo examples/tv-off.lp
%   {-tv_on, power_failure, sleep}

{
  sleep :- not tv_on.
  watch_tv :- tv_on.
  tv_on.
}
{
  -tv_on :- power_failure.
  power_failure.
}
