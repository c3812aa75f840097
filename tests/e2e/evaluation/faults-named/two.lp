a v b.
