rej_P0_R0 :- -a_P1.
a_P0 :- not rej_P0_R0.
rej_P0_R1 :- c, -b_P1.
b_P0 :- c, not rej_P0_R1.
-a_P1 :- is_true.
d_P1 :- is_true.
a_P0 :- a_P1.
-a_P0 :- -a_P1.
a :- a_P0.
-a :- -a_P0.
b_P0 :- b_P1.
-b_P0 :- -b_P1.
b :- b_P0.
-b :- -b_P0.
d_P0 :- d_P1.
-d_P0 :- -d_P1.
d :- d_P0.
-d :- -d_P0.
is_true :- .
