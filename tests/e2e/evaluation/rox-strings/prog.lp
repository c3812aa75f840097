name("a b", "x, y").
name("100% sure", "back\slash").
"odd, pred %"("q") :- name("a b", Y).
keep(X) :- name(X, "x, y").
text("two
lines").
