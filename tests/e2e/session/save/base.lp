% Facts and a rule, one program without braces.
#const who=ann.
staff(who). staff(bob).
allowed(X) :- staff(X), not banned(X). % no line end at the end