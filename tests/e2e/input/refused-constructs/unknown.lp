#frobnicate.
