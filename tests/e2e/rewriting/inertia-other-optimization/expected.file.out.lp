rej_P0_R0(X0) :- q(X0), -p_P1(X0).
p_P0(X0) :- q(X0), not rej_P0_R0(X0).
rej_P0_R1 :- -q_P1(a).
q_P0(a) :- not rej_P0_R1.
-p_P1(X0) :- q(X0), not r(X0).
-r_P1(X0) :- q(X0).
-s_P1 :- .
-s_P0 :- -s_P1.
s_P0 :- s_P1.
-s :- -s_P0.
s :- s_P0.
p_P0(X0) :- p_P1(X0).
-p_P0(X0) :- -p_P1(X0).
p(X0) :- p_P0(X0).
-p(X0) :- -p_P0(X0).
q_P0(X0) :- q_P1(X0).
-q_P0(X0) :- -q_P1(X0).
q(X0) :- q_P0(X0).
-q(X0) :- -q_P0(X0).
r_P0(X0) :- r_P1(X0).
-r_P0(X0) :- -r_P1(X0).
r(X0) :- r_P0(X0).
-r(X0) :- -r_P0(X0).
s_P0 :- s_P1.
-s_P0 :- -s_P1.
s :- s_P0.
-s :- -s_P0.
