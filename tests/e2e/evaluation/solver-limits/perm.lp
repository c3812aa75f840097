% The 24 orders of four pigeons in four holes, found with conflicts along
% the way, and an update that one of them may override.
{ old. }
{
  -old :- not keep.  keep :- not -old.
  p(1). p(2). p(3). p(4).
  in(P,H) :- p(P), p(H), not out(P,H).
  out(P,H) :- p(P), p(H), not in(P,H).
  :- in(P,H), in(P,G), H != G.
  :- in(P,H), in(Q,H), P != Q.
  has(P) :- in(P,H).
  :- p(P), not has(P).
}
