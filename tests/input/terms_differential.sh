#!/usr/bin/env bash
# Differential test of function terms, arithmetic, assignments and
# "not not":
#   terms_differential.sh BUILD COUNT [FIRST_SEED]
# For each seed a random program over a random domain is written twice:
# with the constructs, and ground, each rule written out per instance with
# its arithmetic computed here (bash computes as clingo: 32-bit integers
# truncating towards zero). The program with the constructs must have
# clingo's answer sets on the same text; an update sequence (the program,
# then a block of strong negations and a rule) must have the same answer
# sets in both forms in plain, -min, -strict, --one-run, with a brave goal
# and as a session. Prints one block per difference and a summary; status
# 1 if any differed. KEEP=1 keeps the work folder.
set -u
build=${1:?usage: terms_differential.sh BUILD COUNT [FIRST_SEED]}
count=${2:?usage: terms_differential.sh BUILD COUNT [FIRST_SEED]}
first=${3:-1}
command -v clingo >/dev/null || { echo "clingo not found"; exit 77; }
work=$(mktemp -d "${TMPDIR:-/tmp}/vok-terms.XXXXXX")
[ "${KEEP:-0}" = 1 ] || trap 'rm -rf "$work"' EXIT

source "$(dirname "${BASH_SOURCE[0]}")/answer_sets.sh"
abs() { local v=$1; echo $((v < 0 ? -v : v)); }

# Writes with.lp and plain.lp (one program) and update-with.lp,
# update-plain.lp (the block after it).
generate() {
    RANDOM=$1
    seed_draws "$1"
    local w=$work/with.lp p=$work/plain.lp x y z c1 c2 c3 c4
    local dom=() n
    : >"$w"; : >"$p"
    for n in -3 -2 -1 0 1 2 3; do [ $((RANDOM % 2)) = 0 ] && dom+=("$n"); done
    [ ${#dom[@]} = 0 ] && dom=(1)
    for x in "${dom[@]}"; do echo "n($x)." | tee -a "$p" >>"$w"; done
    for x in "${dom[@]}"; do
        y=${dom[$((RANDOM % ${#dom[@]}))]}
        echo "m(f($x),g($y))." | tee -a "$p" >>"$w"
    done
    c1=$(pick -2 2); c2=$(pick -3 3); c3=$(pick 1 3); c4=$(pick -2 2)
    echo "p(X*$c1+$c2) :- n(X)." >>"$w"
    for x in "${dom[@]}"; do echo "p($((x * c1 + c2))) :- n($x)." >>"$p"; done
    echo "q(f(X), Y) :- n(X), Y = (X - $c3) / 2, Y != $c4." >>"$w"
    for x in "${dom[@]}"; do
        y=$(((x - c3) / 2))
        [ "$y" != "$c4" ] && echo "q(f($x), $y) :- n($x)." >>"$p"
    done
    echo "r(Y, -Z) :- m(f(Y), g(Z)), Y < Z + $c4." >>"$w"
    while read -r line; do
        y=${line#m(f(}; y=${y%%)*}; z=${line#*g(}; z=${z%%)*}
        [ "$y" -lt $((z + c4)) ] && echo "r($y, $((-z))) :- m(f($y),g($z))." >>"$p"
    done < <(grep '^m(' "$p")
    echo "t(X) :- n(X), not u(X), X \\ $c3 == 0. u(X) :- n(X), not t(X)." >>"$w"
    for x in "${dom[@]}"; do
        [ $((x % c3)) = 0 ] && echo "t($x) :- n($x), not u($x)." >>"$p"
        echo "u($x) :- n($x), not t($x)." >>"$p"
    done
    echo "s(X) :- n(X), not not t(X). v(|X - $c2|, X ** 2) :- p(X)." >>"$w"
    for x in "${dom[@]}"; do echo "s($x) :- n($x), not not t($x)." >>"$p"; done
    for x in "${dom[@]}"; do
        y=$((x * c1 + c2))
        echo "v($(abs $((y - c2))), $((y * y))) :- p($y)." >>"$p"
    done
    # The update: strong negations of some instances, and a rule.
    : >"$work/update-with.lp"; : >"$work/update-plain.lp"
    for x in "${dom[@]}"; do
        [ $((RANDOM % 3)) = 0 ] && echo "-p($((x * c1 + c2)))." | tee -a "$work/update-plain.lp" >>"$work/update-with.lp"
        [ $((RANDOM % 3)) = 0 ] && echo "-q(f($x), $(((x - c3) / 2)))." | tee -a "$work/update-plain.lp" >>"$work/update-with.lp"
    done
    echo "-s(X + 0) :- n(X), X > $c4." >>"$work/update-with.lp"
    for x in "${dom[@]}"; do [ "$x" -gt "$c4" ] && echo "-s($x) :- n($x)." >>"$work/update-plain.lp"; done
    true
}

inputs=("$work/with.lp" "$work/update-with.lp")

vok() { "$build/vok" -silent -p="$build/rox-clingo" "$@" 2>&1; }

for ((seed = first; seed < first + count; seed++)); do
    generate "$seed"
    clingo 0 "$work/with.lp" 2>/dev/null | from_clingo >"$work/clingo"
    vok -o=-n=0 "$work/with.lp" | from_vok >"$work/vok"
    compare "$seed" "clingo and vok on the constructs" "$work/clingo" "$work/vok"
    { echo "{"; cat "$work/with.lp"; echo "} {"; cat "$work/update-with.lp"; echo "}"; } >"$work/seq-with.lp"
    { echo "{"; cat "$work/plain.lp"; echo "} {"; cat "$work/update-plain.lp"; echo "}"; } >"$work/seq-plain.lp"
    for mode in "" "-min" "-strict" "-min --one-run" "-strict --one-run"; do
        # shellcheck disable=SC2086
        vok $mode "$work/seq-with.lp" | from_vok >"$work/seq-with"
        # shellcheck disable=SC2086
        vok $mode "$work/seq-plain.lp" | from_vok >"$work/seq-plain"
        compare "$seed" "the update sequences ($mode)" "$work/seq-plain" "$work/seq-with"
    done
    vok -FB='q(f(X),Y)' "$work/seq-with.lp" | grep -v '^{' >"$work/goal-with"
    vok -FB='q(f(X),Y)' "$work/seq-plain.lp" | grep -v '^{' >"$work/goal-plain"
    compare "$seed" "the brave goal's instances" "$work/goal-plain" "$work/goal-with"
    { echo "{"; cat "$work/update-with.lp"; echo "}"; } |
        vok --session "$work/with.lp" | sed '1,/^% step 0/d' | from_vok >"$work/session-with"
    { echo "{"; cat "$work/update-plain.lp"; echo "}"; } |
        vok --session "$work/plain.lp" | sed '1,/^% step 0/d' | from_vok >"$work/session-plain"
    compare "$seed" "the sessions" "$work/session-plain" "$work/session-with"
done
echo "$cases comparisons, $nonempty with answer sets, $failed differing"
[ "$failed" = 0 ]
