p(1..3).
#minimize { X : p(X) }.
