{ tv_on :- not power_failure. }
{ power_failure. }
