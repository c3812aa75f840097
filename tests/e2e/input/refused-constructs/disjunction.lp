p.
  a ; b.
