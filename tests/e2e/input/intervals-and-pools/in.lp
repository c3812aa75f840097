% Five slots and two rooms; the update closes slot 3 and room b only.
{ #const last=5.
  slot(1..last). room(a;b). pair(1,a;2,b).
  free(S, R) :- slot(S), room(R), not busy(S;R). }
{ -slot(3). -room(b). }
