#!/usr/bin/env bash
# Differential test of the constructs that are pure syntax (block comments,
# negative integers, #const and -c, intervals, pools, #show):
#   differential.sh BUILD COUNT [FIRST_SEED]
# For each seed a random program is written twice: with the constructs and
# with them written out in the plain language. The plain program alone must
# have vok's answer sets with the constructs and clingo's answer sets on the
# same text; an update sequence (the program, then a block of strong
# negations) must have the same answer sets in both forms. Prints one block
# per difference and a summary; status 1 if any differed. KEEP=1 keeps the
# work folder.
set -u
build=${1:?usage: differential.sh BUILD COUNT [FIRST_SEED]}
count=${2:?usage: differential.sh BUILD COUNT [FIRST_SEED]}
first=${3:-1}
command -v clingo >/dev/null || { echo "clingo not found"; exit 77; }
work=$(mktemp -d "${TMPDIR:-/tmp}/vok-language.XXXXXX")
[ "${KEEP:-0}" = 1 ] || trap 'rm -rf "$work"' EXIT

source "$(dirname "${BASH_SOURCE[0]}")/answer_sets.sh"

# Writes $work/with.lp (the constructs) and $work/plain.lp (written out),
# the body of one program, and $work/update-with.lp / update-plain.lp, a
# block of strong negations.
generate() {
    RANDOM=$1
    seed_draws "$1"
    local k=$(pick -2 3) with=$work/with.lp plain=$work/plain.lp i low high a b
    : >"$with"; : >"$plain"
    echo "#const k=$k. %* a block comment with p(9). inside *%" >>"$with"
    for i in 1 2; do
        low=$(pick -3 2); high=$((low + $(pick -1 3)))
        echo "p($low..$high)." >>"$with"
        for ((a = low; a <= high; a++)); do echo "p($a)." >>"$plain"; done
    done
    a=$(pick -3 3); b=$(pick -3 3)
    echo "q($a;$b;k). r(k, -1;2, k)." >>"$with"
    echo "q($a). q($b). q($k). r($k, -1). r(2, $k)." >>"$plain"
    echo "s(X) :- q(X), not p(X;k)." >>"$with"
    echo "s(X) :- q(X), not p(X). s(X) :- q(X), not p($k)." >>"$plain"
    a=$(pick -3 3)
    echo "t(X) :- p(X), not u(X), X != $a. u(X) :- p(X), not t(X)." | tee -a "$plain" >>"$with"
    echo "v(X, Y) :- r(X, Y), Y < k, X >= -3." >>"$with"
    echo "v(X, Y) :- r(X, Y), Y < $k, X >= -3." >>"$plain"
    if [ $((RANDOM % 2)) = 0 ]; then
        echo "#show t/1. #show s/1. #show -p/1." | tee -a "$plain" >>"$with"
    fi
    low=$(pick -3 2); high=$((low + $(pick 0 2)))
    echo "-p($low..$high). -q(k;$a)." >"$work/update-with.lp"
    : >"$work/update-plain.lp"
    for ((a2 = low; a2 <= high; a2++)); do echo "-p($a2)." >>"$work/update-plain.lp"; done
    echo "-q($k). -q($a)." >>"$work/update-plain.lp"
}

inputs=("$work/with.lp")

for ((seed = first; seed < first + count; seed++)); do
    generate "$seed"
    clingo 0 "$work/with.lp" 2>/dev/null | from_clingo >"$work/clingo"
    "$build/vok" -silent -o=-n=0 -p="$build/rox-clingo" "$work/with.lp" 2>&1 | from_vok >"$work/vok"
    compare "$seed" "clingo and vok on the constructs" "$work/clingo" "$work/vok"
    "$build/vok" -silent -p="$build/rox-clingo" "$work/plain.lp" 2>&1 | from_vok >"$work/plain"
    compare "$seed" "the constructs and the plain program" "$work/plain" "$work/vok"
    # An update sequence, the #const given on the command line instead.
    { echo "{"; grep -v '#const' "$work/with.lp"; echo "} {"; cat "$work/update-with.lp"; echo "}"; } \
        >"$work/seq-with.lp"
    { echo "{"; cat "$work/plain.lp"; echo "} {"; cat "$work/update-plain.lp"; echo "}"; } \
        >"$work/seq-plain.lp"
    k=$(sed -n 's/^#const k=\([-0-9]*\)\..*/\1/p' "$work/with.lp")
    "$build/vok" -silent -c "k=$k" -p="$build/rox-clingo" "$work/seq-with.lp" 2>&1 |
        from_vok >"$work/seq-with"
    "$build/vok" -silent -p="$build/rox-clingo" "$work/seq-plain.lp" 2>&1 | from_vok >"$work/seq-plain"
    compare "$seed" "the update sequences" "$work/seq-plain" "$work/seq-with"
done
echo "$cases comparisons, $nonempty with answer sets, $failed differing"
[ "$failed" = 0 ]
