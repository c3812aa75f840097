{ tv_on. power. -noise. level(1..2).
  #show tv_on/0. #show -noise/0. }
{ -tv_on. }
