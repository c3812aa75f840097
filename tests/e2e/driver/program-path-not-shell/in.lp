a.
