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
. "$(dirname "$0")/long-session.sh"
long_session_setup session-steps 20000 8000 "$@"
echo "| session | steps | quarter 1 (ms) | 2 | 3 | 4 | CPU (s) | growth per step (bytes) |"
echo "|---|---:|---:|---:|---:|---:|---:|---:|"
for kind in blocks search; do
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
                name = kind == "blocks" ? "kept" : odd ? "search: rules" : "search: facts"
                line = "| " name " | " u
                for (q = 0; q < 4; q++) line = line sprintf(" | %.2f", 1000 * t[odd, q] / c[odd, q])
                printf "%s | %.1f | %.0f |\n", line, cpu, (last - at100) * 1024 / (u - 100)
            }
        }' "$work/$kind.steps"
done
