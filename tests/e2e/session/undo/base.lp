% The base: a TV that is on unless it is off.
tv_on :- not off.
