{
  p1 :- not q1.  q1 :- not p1.
  p2 :- not q2.  q2 :- not p2.
  p3 :- not q3.  q3 :- not p3.
  p4 :- not q4.  q4 :- not p4.
  p5 :- not q5.  q5 :- not p5.
  p6 :- not q6.  q6 :- not p6.
  p7 :- not q7.  q7 :- not p7.
  p8 :- not q8.  q8 :- not p8.
  p9 :- not q9.  q9 :- not p9.
  p10 :- not q10.  q10 :- not p10.
  p11 :- not q11.  q11 :- not p11.
  p12 :- not q12.  q12 :- not p12.
  p13 :- not q13.  q13 :- not p13.
  p14 :- not q14.  q14 :- not p14.
  p15 :- not q15.  q15 :- not p15.
  p16 :- not q16.  q16 :- not p16.
  p17 :- not q17.  q17 :- not p17.
  p18 :- not q18.  q18 :- not p18.
  p19 :- not q19.  q19 :- not p19.
  p20 :- not q20.  q20 :- not p20.
  p21 :- not q21.  q21 :- not p21.
  p22 :- not q22.  q22 :- not p22.
}
