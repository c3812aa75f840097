% The bound of program 0 needs one of p(1), p(2); program 1 rejects both.
{ 1 { p(1..2) } 1. }
{ -p(1). -p(2). }
