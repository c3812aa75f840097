% Bounds, conditions, a choice without bounds and one without body.
item(1..3).
banned(2).
1 { pick(X) : item(X), not banned(X) } 2 :- go.
go.
{ extra }.
-pick(3) :- extra.
