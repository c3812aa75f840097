#!/usr/bin/env bash
# Differential test of --one-run against the test of every candidate:
#   compare.sh BUILD GENERATOR COUNT [FIRST_SEED]
# For each seed, GENERATOR (vok-random-sequence) writes a first-order
# sequence (solved with rox-clingo) and a propositional one (rox-clingo and
# pexa-clingo); each is solved with -min and with -strict, once testing
# every candidate and once with --one-run. Both must print the same answer
# sets (as a sorted list, duplicates kept) and end with the same status.
# Prints one block per difference and a summary; status 1 if any differed.
# KEEP=1 keeps the work folder.
set -u
build=${1:?usage: compare.sh BUILD GENERATOR COUNT [FIRST_SEED]}
generator=${2:?usage: compare.sh BUILD GENERATOR COUNT [FIRST_SEED]}
count=${3:?usage: compare.sh BUILD GENERATOR COUNT [FIRST_SEED]}
first=${4:-1}
work=$(mktemp -d "${TMPDIR:-/tmp}/vok-one-run.XXXXXX")
[ "${KEEP:-0}" = 1 ] || trap 'rm -rf "$work"' EXIT

cases=0 failed=0 nonempty=0 parted=0
# solve MODE FORM INPUT OUT [--one-run]: the sorted answer sets in OUT,
# the status in OUT.status
solve() {
    local mode=$1 form=$2 input=$3 out=$4
    shift 4
    local solver=$build/rox-clingo type=-P=rox
    [ "$form" = pexa ] && solver=$build/pexa-clingo type=-P=pexa
    "$build/vok" -silent "-$mode" "$type" "$@" -p="$solver" "$input" \
        >"$out.raw" 2>"$out.err"
    echo $? >"$out.status"
    sort "$out.raw" >"$out"
}

# run_case SEED NAME FORM MODE INPUT
run_case() {
    local seed=$1 name=$2 form=$3 mode=$4 input=$5
    local ref=$work/ref-$mode one=$work/one-$mode
    solve "$mode" "$form" "$input" "$ref"
    solve "$mode" "$form" "$input" "$one" --one-run
    cases=$((cases + 1))
    [ -s "$ref" ] && nonempty=$((nonempty + 1))
    if ! cmp -s "$ref.status" "$one.status" || ! cmp -s "$ref" "$one"; then
        failed=$((failed + 1))
        echo "DIFFER seed $seed $name $form -$mode: status $(cat "$ref.status") vs $(cat "$one.status")"
        diff "$ref" "$one" | head -n 6
        head -n 3 "$one.err"
        cp "$input" "$work/failed-$seed-$name.txt"
    fi
}

for ((seed = first; seed < first + count; seed++)); do
    "$generator" "$seed" >"$work/fo.txt" && "$generator" "$seed" prop >"$work/prop.txt" || exit 2
    for name in fo prop; do
        forms=(rox)
        [ "$name" = prop ] && forms=(rox pexa)
        for form in "${forms[@]}"; do
            run_case "$seed" "$name" "$form" min "$work/$name.txt"
            run_case "$seed" "$name" "$form" strict "$work/$name.txt"
            cmp -s "$work/ref-min" "$work/ref-strict" || parted=$((parted + 1))
        done
    done
done
echo "seeds $first..$((first + count - 1)): $cases cases, $failed differ;" \
     "$nonempty with answer sets; $parted where -min and -strict differ"
[ "$failed" = 0 ]
