p(n).
#const n=1.
#const N=2.
