% Staff and who may enter; a block may bring a choice between two.
{ staff(ann). staff(bob). staff(cy).
  allowed(X) :- staff(X), not banned(X). }
