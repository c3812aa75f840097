 :-- q10.  q10 :- not p10.
  p11 :- not q11.  q11 :- not p11.
  p12 :- not q12.  q12 :- not p12.
  p13 :- not q13.  q13 :- not p13.
  p14 :- not q14.  q14 :- not p14.
  p15 :- not q15.  q15 :- not not b. }
