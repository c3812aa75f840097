% Who may enter, revised twice: the first answer the README shows.
%
% Staff may enter unless banned. The second program bans bob, so allowed(bob)
% no longer follows. The third says ann may not enter at night and that it is
% night: its rule derives -allowed(ann), which rejects the instance of the
% first program's rule that gave allowed(ann).
%
%   $ build/vok -silent examples/access.lp
%   {-allowed(ann), banned(bob), night, staff(ann), staff(bob)}
%
% May ann enter in some answer set? No:
%
%   $ build/vok -silent -p=build/rox-clingo -FB='allowed(ann)' examples/access.lp
%   false.

{ staff(ann). staff(bob).
  allowed(X) :- staff(X), not banned(X). }
{ banned(bob). }
{ -allowed(ann) :- night.
  night. }
