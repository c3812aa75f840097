#!/usr/bin/env bash
# The cost of a session's step as the session grows:
#
#   bash bench/session-steps.sh BUILD [FACTS [STEPS]]   (default 20000 8000)
#
# The base of session-memory.sh (emp/2 and salary/2 read by two rules),
# then two kinds of sessions of STEPS blocks each:
#   kept    the blocks of session-memory.sh: facts the maintained part
#           takes in whole (clingo is told nothing)
#   search  blocks alternating { c(I) :- not d(I). d(I) :- not c(I).
#           :- d(I). } (a search that clingo does) and { blocked(dJ). }
# Prints, per quarter of the session, the mean wall time of a step in ms
# (for search: the steps with rules and the others apart), the session's
# CPU seconds and the resident memory it grew by per step.
set -u
build=${1:?usage: bench/session-steps.sh BUILD [FACTS [STEPS]]}
build=$(cd "$build" && pwd) || exit 2
n=${2:-20000}
steps=${3:-8000}
for tool in vok rox-clingo vok-session-driver; do
    [ -x "$build/$tool" ] || { echo "bench: $build/$tool is missing; build it first" >&2; exit 2; }
done
work=$(mktemp -d "${TMPDIR:-/tmp}/vok-session-steps.XXXXXX")
trap 'rm -rf "$work"' EXIT

awk -v n="$n" -v u="$steps" -v kb="$work/kb.lp" -v kept="$work/kept.txt" \
    -v search="$work/search.txt" 'BEGIN {
    srand(13)
    half = int(n / 2)
    print "{" > kb
    for (i = 0; i < half; i++) print "emp(e" i ",d" i % 1000 ")." > kb
    for (i = 0; i < n - half; i++) print "salary(e" i "," i % 100 ")." > kb
    print "ok(X) :- emp(X,D), not blocked(D).\nrich(X) :- salary(X,S), S > 90.\n}" > kb
    for (i = 1; i <= u; i++) {
        j = int(rand() * 1000); e = int(rand() * half)
        if (i % 4 == 1) b = "{ blocked(d" j "). }"
        else if (i % 4 == 2) b = "{ emp(n" i ",d" j "). }"
        else if (i % 4 == 3) b = "{ -emp(e" e ",d" e % 1000 "). }"
        else b = "{ -blocked(d" j "). }"
        print b > kept
        if (i % 2 == 1) b = "{ c(" i ") :- not d(" i "). d(" i ") :- not c(" i "). :- d(" i "). }"
        else b = "{ blocked(d" j "). }"
        print b > search
    }
}'
echo "| session | steps | quarter 1 (ms) | 2 | 3 | 4 | CPU (s) | growth per step (bytes) |"
echo "|---|---:|---:|---:|---:|---:|---:|---:|"
for kind in kept search; do
    "$build/vok-session-driver" "$work/$kind.steps" "$work/$kind.txt" \
        "$build/vok" -silent --session "-p=$build/rox-clingo" "$work/kb.lp" || {
        echo "bench: the $kind session failed" >&2
        exit 1
    }
    # Columns of the driver: step, wall s, CPU s, resident KiB; "total"
    # last with the CPU in its fifth column.
    awk -v kind="$kind" -v u="$steps" '
        $1 == "total" { cpu = $5; next }
        $1 == 100 { at100 = $4 }
        { last = $4 }
        $1 > 0 {
            q = int(($1 - 1) * 4 / u); odd = kind == "search" && $1 % 2 == 1
            t[odd, q] += $2; c[odd, q]++
        }
        END {
            for (odd = 0; odd <= (kind == "search"); odd++) {
                name = kind == "kept" ? "kept" : odd ? "search: rules" : "search: facts"
                line = "| " name " | " u
                for (q = 0; q < 4; q++) line = line sprintf(" | %.2f", 1000 * t[odd, q] / c[odd, q])
                printf "%s | %.1f | %.0f |\n", line, cpu, (last - at100) * 1024 / (u - 100)
            }
        }' "$work/$kind.steps"
done
