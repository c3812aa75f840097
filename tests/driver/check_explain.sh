#!/usr/bin/env bash
# Random ground update sequences, checked in plain, -min and -strict mode:
#  - the rules that --json --explain lists as rejected for each answer set
#    are exactly the causal rejection set of that answer set S, computed
#    here from the sequence and S alone: rule r of program i is rejected
#    when a rule r' of a newer program, itself not rejected, has the
#    complementary head and S satisfies the bodies of r' and of r;
#  - the literal and program named as the rejecter fit: that program has
#    such a rule r';
#  - the text output lists the same answer sets and the same rejected rules;
#  - every document is valid JSON (jq).
set -u
bin_dir=$1
cases=${2:-40}
vok=$bin_dir/vok rox=$bin_dir/rox-clingo
command -v jq >/dev/null || { echo "jq is needed for this check"; exit 1; }
work=$(mktemp -d "${TMPDIR:-/tmp}/vok-explain.XXXXXX")
trap 'rm -rf "$work"' EXIT

# A sequence of 2 to 4 programs over the atoms a to d. Writes the input
# (seq.lp) and its rules one a line (rules.txt): program, rule, head, then
# the body literals, "~" marking default negation.
generate() {
  awk -v seed="$1" -v lp="$work/seq.lp" -v rules="$work/rules.txt" 'BEGIN {
    srand(seed); split("a b c d", atom, " ")
    n = 2 + int(rand() * 3)
    for (i = 0; i < n; i++) {
      printf "{\n" > lp
      m = 1 + int(rand() * 4)
      for (j = 0; j < m; j++) {
        head = (rand() < 0.4 ? "-" : "") atom[1 + int(rand() * 4)]
        line = i " " j " " head; text = head
        k = int(rand() * 3)
        for (b = 0; b < k; b++) {
          lit = (rand() < 0.3 ? "-" : "") atom[1 + int(rand() * 4)]
          neg = rand() < 0.4
          text = text (b ? ", " : " :- ") (neg ? "not " : "") lit
          line = line " " (neg ? "~" : "") lit
        }
        print "  " text "." > lp
        print line > rules
      }
      printf "}\n" > lp
    }
  }'
}

# For each answer set of answers.txt ("S lit lit ...", one a line) the
# rejected rules ("R i j"), in order.
rejection_sets() {
  awk 'function holds(l) { return substr(l, 1, 1) == "~" ? !(substr(l, 2) in S) : (l in S) }
       function body(r,   b) { for (b = 4; b <= nf[r]; b++) if (!holds(f[r, b])) return 0; return 1 }
       function compl(h) { return substr(h, 1, 1) == "-" ? substr(h, 2) : "-" h }
       NR == FNR { n++; nf[n] = NF; for (k = 1; k <= NF; k++) f[n, k] = $k; next }
       {
         split("", S); split("", rej)
         for (k = 2; k <= NF; k++) S[$k] = 1
         # Programs from the most recent down: rejection of program i
         # depends on the newer programs only.
         for (r = n; r >= 1; r--)
           for (q = 1; q <= n; q++)
             if (f[q, 1] > f[r, 1] && !rej[q] && f[q, 3] == compl(f[r, 3]) && body(q) && body(r)) rej[r] = 1
         line = "S"
         for (k = 2; k <= NF; k++) line = line " " $k
         print line
         for (r = 1; r <= n; r++) if (rej[r]) print "R " f[r, 1] " " f[r, 2]
       }' "$work/rules.txt" "$1"
}

# A rejecter named in the document: program k has a rule with head lit whose
# body holds in S and that is not itself listed as rejected.
check_rejecters() {
  awk 'function holds(l) { return substr(l, 1, 1) == "~" ? !(substr(l, 2) in S) : (l in S) }
       function body(r,   b) { for (b = 4; b <= nf[r]; b++) if (!holds(f[r, b])) return 0; return 1 }
       NR == FNR { n++; nf[n] = NF; for (k = 1; k <= NF; k++) f[n, k] = $k; next }
       $1 == "S" { split("", S); split("", listed); for (k = 2; k <= NF; k++) S[$k] = 1; next }
       $1 == "R" { listed[$2, $3] = 1; next }
       $1 == "B" {
         ok = 0
         for (r = 1; r <= n; r++)
           if (f[r, 1] == $3 && f[r, 3] == $2 && body(r) && !((f[r, 1], f[r, 2]) in listed)) ok = 1
         if (!ok) { print "no rule of program " $3 " derives " $2; bad = 1 }
       }
       END { exit bad }' "$work/rules.txt" "$1"
}

fail=0
for seed in $(seq 1 "$cases"); do
  generate "$seed"
  for mode in "" -min -strict; do
    "$vok" -silent --json --explain -p="$rox" $mode "$work/seq.lp" >"$work/doc.json" 2>"$work/err" ||
      { echo "seed $seed $mode: status $?"; cat "$work/err"; fail=1; continue; }
    if ! jq -e . "$work/doc.json" >/dev/null 2>&1; then
      echo "seed $seed $mode: not valid JSON"; fail=1; continue
    fi
    jq -r '.Call[0].Witnesses[] | "S " + (.Value | join(" ")), (.Rejected[] | "R \(.Program) \(.Rule)")' \
      "$work/doc.json" >"$work/listed.txt"
    grep '^S' "$work/listed.txt" >"$work/answers.txt"
    rejection_sets "$work/answers.txt" >"$work/expected.txt"
    if ! cmp -s "$work/expected.txt" "$work/listed.txt"; then
      echo "seed $seed $mode: rejected rules differ from the rejection set"
      diff "$work/expected.txt" "$work/listed.txt"; cat "$work/seq.lp"; fail=1
    fi
    jq -r '.Call[0].Witnesses[] | "S " + (.Value | join(" ")),
             (.Rejected[] | "R \(.Program) \(.Rule)"), (.Rejected[] | "B \(.By) \(.ByProgram)")' \
      "$work/doc.json" >"$work/rejecters.txt"
    check_rejecters "$work/rejecters.txt" || { echo "seed $seed $mode"; cat "$work/seq.lp"; fail=1; }

    # The text output: the same answer sets, the same rejected rules.
    "$vok" -silent --explain -p="$rox" $mode "$work/seq.lp" 2>/dev/null |
      sed -E -e 's/^\{(.*)\}$/S \1/' -e 's/, / /g' -e 's/^S $/S/' \
        -e 's/^  rejected: program ([0-9]+) rule ([0-9]+) .*/R \1 \2/' >"$work/text.txt"
    if ! cmp -s "$work/text.txt" "$work/listed.txt"; then
      echo "seed $seed $mode: the text output differs from the document"
      diff "$work/listed.txt" "$work/text.txt"; fail=1
    fi
  done
done
exit $fail
