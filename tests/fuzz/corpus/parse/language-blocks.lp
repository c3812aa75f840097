{ #const m=-1. p(m..2). } { -p(0;1). #show p/1. }
