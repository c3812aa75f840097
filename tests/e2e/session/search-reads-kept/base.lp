{
salary(e1,95). salary(e2,50). salary(e3,97). emp(e1,d1). emp(e3,d1). emp(e2,d1).
rich(X) :- salary(X,S), S > 90.
pick(X) :- rich(X), emp(X,d1), not skip(X).
skip(X) :- rich(X), emp(X,d1), not pick(X).
:- skip(X), skip(Y), X != Y.
}
