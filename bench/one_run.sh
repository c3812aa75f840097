#!/usr/bin/env bash
# -min and -strict testing every candidate against --one-run, on sequences
# whose candidates number 2^n or 3^n (min_family.sh):
#   bash bench/one_run.sh BUILD [KIND:n ...]
# Prints a Markdown section with the times and their ratios. Each size runs
# the two paths in turn: the per-candidate path once, --one-run three times
# (the best counts); both must print the same set of answer sets. Sizes
# with more than VOK_BENCH_PER_CANDIDATE_TOP candidates (default 8192) time
# only --one-run.
set -u
build=${1:?usage: bench/one_run.sh BUILD [KIND:n ...]}
shift
here=$(cd "$(dirname "$0")" && pwd)
top=${VOK_BENCH_PER_CANDIDATE_TOP:-8192}
sizes=("$@")
[ ${#sizes[@]} -gt 0 ] || sizes=(2few:3 2few:7 2few:10 2few:13 2all:3 2all:7 2all:10 2all:13
    2mixed:3 2mixed:10 2mixed:13 3few:2 3few:4 3few:6 3few:8 3all:2 3all:4 3all:6 3all:8)
work=$(mktemp -d "${TMPDIR:-/tmp}/vok-one-run-bench.XXXXXX")
trap 'rm -rf "$work"' EXIT
seconds() { cut -d' ' -f1 "$1"; }

echo "## Minimal answer sets in one run"
echo
echo "\`vok -silent -MODE -p=rox-clingo\` (every candidate tested, one run) against the same"
echo "with \`--one-run\` (best of three), taken in turns on sequences from"
echo "bench/min_family.sh: 2few/3few have 2^n/3^n candidates and one minimal answer set,"
echo "2all/3all all minimal, 2mixed all minimal but one strictly minimal. K: candidates."
echo
echo "| family | n | K | mode | minimal | per candidate (s) | --one-run (s) | ratio |"
echo "|---|---:|---:|---|---:|---:|---:|---:|"
for size in "${sizes[@]}"; do
    kind=${size%%:*} n=${size##*:}
    bash "$here/min_family.sh" "$kind" "$n" >"$work/seq.txt" || exit 2
    k=$("$build/vok" -silent -p="$build/rox-clingo" "$work/seq.txt" | wc -l)
    for mode in min strict; do
        ref="not run" ratio="-"
        if [ "$k" -le "$top" ]; then
            "$build/vok-measure" "$work/ref" "$build/vok" -silent "-$mode" -p="$build/rox-clingo" \
                "$work/seq.txt" | sort >"$work/ref.out"
            ref=$(seconds "$work/ref")
        fi
        best=
        for r in 1 2 3; do
            "$build/vok-measure" "$work/one" "$build/vok" -silent "-$mode" --one-run \
                -p="$build/rox-clingo" "$work/seq.txt" | sort >"$work/one.out"
            t=$(seconds "$work/one")
            if [ -z "$best" ] || awk -v a="$t" -v b="$best" 'BEGIN { exit !(a < b) }'; then best=$t; fi
        done
        if [ "$ref" != "not run" ]; then
            cmp -s "$work/ref.out" "$work/one.out" ||
                echo "bench: $kind $n -$mode: the answer sets differ" >&2
            ratio=$(awk -v a="$ref" -v b="$best" 'BEGIN { printf "%.0f", a / b }')
        fi
        echo "| $kind | $n | $k | -$mode | $(wc -l <"$work/one.out") | $ref | $best | $ratio |"
    done
done
