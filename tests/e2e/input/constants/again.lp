#const limit=4.
