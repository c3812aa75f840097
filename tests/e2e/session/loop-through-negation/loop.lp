{ q :- p. p :- s. s. }
