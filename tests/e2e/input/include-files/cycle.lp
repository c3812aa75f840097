p.
#include "cycle.lp".
