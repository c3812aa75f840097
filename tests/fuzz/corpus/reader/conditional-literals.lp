p_P0 :- s; q(L0) : r(L0), not t(L0).
:- d; a(L0) : b(L0).
