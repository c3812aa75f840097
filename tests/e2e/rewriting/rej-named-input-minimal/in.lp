rejected(a) :- not other.
other :- not rejected(a).
