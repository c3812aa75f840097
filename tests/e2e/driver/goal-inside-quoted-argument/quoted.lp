% Quoted arguments that hold the text of other atoms, in the middle of an
% answer set and as its last atom.
p("a q, b").
s("{q}").
r.
