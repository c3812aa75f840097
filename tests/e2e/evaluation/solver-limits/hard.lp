% Twelve pigeons in eleven holes: far more than a second of search.
{ old. }
{
  -old :- not keep.  keep :- not -old.
  p(1). p(2). p(3). p(4). p(5). p(6). p(7). p(8). p(9). p(10). p(11). p(12).
  h(1). h(2). h(3). h(4). h(5). h(6). h(7). h(8). h(9). h(10). h(11).
  in(P,H) :- p(P), h(H), not out(P,H).
  out(P,H) :- p(P), h(H), not in(P,H).
  :- in(P,H), in(Q,H), P != Q.
  has(P) :- in(P,H).
  :- p(P), not has(P).
}
