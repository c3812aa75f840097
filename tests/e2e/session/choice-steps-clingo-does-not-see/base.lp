{ emp(e1,d1). emp(e2,d2). salary(e1,95). salary(e2,99).
  ok(X) :- emp(X,D), not blocked(D).
  rich(X) :- salary(X,S), S > 90.
  { pick(X) } :- rich(X), emp(X,d2). }
