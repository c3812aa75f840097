% Who may use which repository: carol is either suspended or cleared.
{
  member(alice, ops). member(bob, dev). member(carol, dev).
  allowed(X, repo) :- member(X, dev).
  allowed(X, prod) :- member(X, ops).
  note("a, (b)", carol). note("c", bob). pair(bob, bob). pair(bob, carol).
}
{
  -allowed(carol, repo) :- suspended(carol).
  suspended(carol) :- not cleared(carol).
  cleared(carol) :- not suspended(carol).
}
