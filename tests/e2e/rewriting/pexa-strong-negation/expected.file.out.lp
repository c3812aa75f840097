@SET FUNCTION
@LP({
rej_P0_R0 :- q, NEG_p_P1.,
p_P0 :- q, ~rej_P0_R0.,
rej_P0_R1 :- NEG_q_P1.,
q_P0 :- ~rej_P0_R1.,
NEG_p_P1 :- q, ~r.,
p_P0 :- p_P1.,
NEG_p_P0 :- NEG_p_P1.,
p :- p_P0.,
NEG_p :- NEG_p_P0.,
q_P0 :- q_P1.,
NEG_q_P0 :- NEG_q_P1.,
q :- q_P0.,
NEG_q :- NEG_q_P0.,

:- p, NEG_p.,
:- p_P0, NEG_p_P0.,
:- p_P1, NEG_p_P1.,
:- q, NEG_q.,
:- q_P0, NEG_q_P0.,
:- q_P1, NEG_q_P1.,
:- r, NEG_r.,
:- rej_P0_R0, NEG_rej_P0_R0.,
:- rej_P0_R1, NEG_rej_P0_R1.
})
