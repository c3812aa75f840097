rej_P0_R0 :- -q_P1(1).
q_P0(1) :- not rej_P0_R0.
rej_P0_R1 :- -q_P1(2).
q_P0(2) :- not rej_P0_R1.
rej_P0_R2 :- -q_P1(3).
q_P0(3) :- not rej_P0_R2.
rej_P0_R3 :- #count{ L0 : q(L0) } >= 3, -many_P1.
many_P0 :- #count{ L0 : q(L0) } >= 3, not rej_P0_R3.
-q_P1(2) :- .
many_P0 :- many_P1.
-many_P0 :- -many_P1.
many :- many_P0.
-many :- -many_P0.
q_P0(X0) :- q_P1(X0).
-q_P0(X0) :- -q_P1(X0).
q(X0) :- q_P0(X0).
-q(X0) :- -q_P0(X0).
