p.
