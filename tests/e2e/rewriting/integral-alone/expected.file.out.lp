@SET FUNCTION
@LP({
rej_P0_R0 :- NEG_a_P1.,
a_P0 :- ~rej_P0_R0.,
NEG_a_P1 :- .,
a_P0 :- a_P1.,
NEG_a_P0 :- NEG_a_P1.,
a :- a_P0.,
NEG_a :- NEG_a_P0.,

:- a, NEG_a.,
:- a_P0, NEG_a_P0.,
:- a_P1, NEG_a_P1.,
:- rej_P0_R0, NEG_rej_P0_R0.
})
