% Program 0: the prices of two items, and a sale.
price(X, N) :- item(X, N).
item(lamp, 30).
item(desk, 90).
sale.
