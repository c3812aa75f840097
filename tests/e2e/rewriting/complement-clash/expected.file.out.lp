rej_P0_R0_0 :- -p_P0_P1.
p_P0_P0 :- not rej_P0_R0_0.
rej_P0_R1 :- -rej_P0_R0_P1.
rej_P0_R0_P0 :- not rej_P0_R1.
-p_P1 :- .
-p_P0_0 :- -p_P1.
p_P0_0 :- p_P1.
-p :- -p_P0_0.
p :- p_P0_0.
p_P0_0 :- p_P1.
-p_P0_0 :- -p_P1.
p :- p_P0_0.
-p :- -p_P0_0.
p_P0_P0 :- p_P0_P1.
-p_P0_P0 :- -p_P0_P1.
p_P0 :- p_P0_P0.
-p_P0 :- -p_P0_P0.
rej_P0_R0_P0 :- rej_P0_R0_P1.
-rej_P0_R0_P0 :- -rej_P0_R0_P1.
rej_P0_R0 :- rej_P0_R0_P0.
-rej_P0_R0 :- -rej_P0_R0_P0.
