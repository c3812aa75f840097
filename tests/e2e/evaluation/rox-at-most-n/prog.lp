a v b v c.
