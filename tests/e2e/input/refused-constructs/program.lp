#program base.
p.
