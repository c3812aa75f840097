% Program 0 chooses among the slots; program 1 closes slot 1 and asks for
% slot 2 unless slot 3 is taken; each rejected element instance is a
% rejected rule for -min and -strict.
{ 1 { at(1..3) } 2.  }
{ -at(1).  -at(2) :- at(3). }
