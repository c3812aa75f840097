b :- a.
#include "c.lp".
