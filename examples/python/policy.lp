% The policy base that policy.py keeps open: who is in which team, and who
% may use the repository and production. Developers may use production
% only while on call.
{
  member(ann, ops). member(bob, dev). member(carol, dev).
  allowed(X, repo) :- member(X, dev).
  allowed(X, prod) :- member(X, ops).
  allowed(X, prod) :- member(X, dev), oncall(X).
}
