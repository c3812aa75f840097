{ blocked(d1). }
{ -blocked(d1). }
{ emp(e3,d2). salary(e3,97). }
{ blocked(d2). }
