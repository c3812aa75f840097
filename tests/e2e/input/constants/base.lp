% Ages where the limit is a constant; the update rejects one instance.
{ #const limit=3.
  #const owner="Ann Lee".
  age(1). age(2). age(limit). old(X) :- age(X), X >= limit. owns(owner, X) :- old(X). }
{ -age(limit). }
