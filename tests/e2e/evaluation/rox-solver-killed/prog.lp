a v c.
