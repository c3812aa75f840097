{ p_P0. rej_P0_R0. }
{ -p. }
