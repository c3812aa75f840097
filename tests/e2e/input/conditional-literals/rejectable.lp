{ dom(c1). }
{ all :- dom(X) : dom(X). }
{ -dom(X) :- dom(X), 1 <= #count{ Y : e(X,Y) }. }
