{ allowed(ann). banned(bob). }
{ a :- b. }
