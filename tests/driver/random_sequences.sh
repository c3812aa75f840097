# Random ground update sequences for the differential checks of this
# folder, sourced by them:
#   generate SEED
# writes a sequence of 2 to 4 programs over p/1 and r/2, whose terms are c1,
# c2, 3 and the quoted string "x, (y)", each program a file prog<N>.lp in
# $work, and all of them in $work/seq.lp. Rules have up to two body
# literals, strong and default negation; a pair of rules that block each
# other often gives a program two answer sets.

# A sequence of 2 to 4 programs, each a file prog<N>.lp, and all in seq.lp.
generate() {
  rm -f "$work"/prog*.lp
  awk -v seed="$1" -v dir="$work" 'BEGIN {
    srand(seed); t[1] = "c1"; t[2] = "c2"; t[3] = "3"; t[4] = "\"x, (y)\""
    n = 2 + int(rand() * 3)
    for (i = 0; i < n; i++) {
      f = dir "/prog" i ".lp"
      printf "{\n" > f
      m = 2 + int(rand() * 4)
      for (j = 0; j < m; j++) {
        text = lit()
        k = int(rand() * 3)
        for (b = 0; b < k; b++) text = text (b ? ", " : " :- ") (rand() < 0.5 ? "not " : "") lit()
        print "  " text "." > f
      }
      # A pair of rules that block each other: two answer sets.
      if (rand() < 0.6) {
        a = atom(); b = atom()
        if (a != b) print "  " a " :- not " b ".\n  " b " :- not " a "." > f
      }
      printf "}\n" > f
      close(f)
    }
  }
  function term() { return rand() < 0.5 ? t[1 + int(rand() * 2)] : t[3 + int(rand() * 2)] }
  function atom() { return rand() < 0.4 ? "p(" term() ")" : "r(" term() ", " term() ")" }
  function lit() { return (rand() < 0.35 ? "-" : "") atom() }'
  cat "$work"/prog*.lp >"$work/seq.lp"
}
