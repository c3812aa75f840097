% The included files are read where their directives stand.
{ a.
#include "sub/b.lp".
}
{ -d :- a. }
