% a knowledge base of slots
{ 1 { at(S) : slot(S), not closed(S) } 2 :- open.
  slot(1..3). open. }
{ -at(1). closed(3). }
