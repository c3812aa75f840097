a.
%* unclosed
b.
