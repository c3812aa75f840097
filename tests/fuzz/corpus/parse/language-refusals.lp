a ; b.
#minimize { 1 : a }.
:~ a. [1]
&sum{ a } > 1.
#program base.
%* open
