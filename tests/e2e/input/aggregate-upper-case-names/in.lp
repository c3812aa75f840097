Ok(c1). -Ok(c2). Low(c1).
m :- #count{ X : Ok(X) } = 1.
n :- #count{ X : -Ok(X), not Low(X) } = 1.
o :- #count{ X : Ok(X), not Low(X) } = 1.
