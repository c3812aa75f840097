rej_P0_R0 :- -a_P1.
a_P0 :- not rej_P0_R0.
rej_P1_R0 :- -b_P2.
b_P1 :- not rej_P1_R0.
c_P2 :- is_true.
a_P1 :- a_P2.
-a_P1 :- -a_P2.
a_P0 :- a_P1.
-a_P0 :- -a_P1.
a :- a_P0.
-a :- -a_P0.
b_P1 :- b_P2.
-b_P1 :- -b_P2.
b_P0 :- b_P1.
-b_P0 :- -b_P1.
b :- b_P0.
-b :- -b_P0.
c_P1 :- c_P2.
-c_P1 :- -c_P2.
c_P0 :- c_P1.
-c_P0 :- -c_P1.
c :- c_P0.
-c :- -c_P0.
is_true :- .
ok :- ok_P1.
eq_P1_R0 :- eq_P2_R0, not ok_P1.
ok :- ok_P2.
eq_P2_R0 :- eq_P3_R0, not ok_P2.
ok :- ok_P3.
eq_P3_R0 :- eq_P4_R0, not ok_P3.
eq_P4_R0 :- is_true.
:- rej_P0_R0, eq_P2_R0, not mrej_P0_R0.
:- rej_P1_R0, eq_P3_R0, not mrej_P1_R0.
:- not ok.
