#!/usr/bin/env bash
# The memory of a long session: a base that rules read (the join shape of
# session-rules.sh) and then many small update blocks:
#
#   bash bench/session-memory.sh BUILD [FACTS [STEPS]]   (default 100000 10000)
#
# The blocks cycle { blocked(dJ). }, { emp(nK,dJ). } (a new fact that the
# rule joins), { -emp(eI,dJ). } (a base fact retracted) and
# { -blocked(dJ). }. The session (vok --session -p=rox-clingo, driven by
# vok-session-driver) reports the resident memory of vok and its clingo
# after every step; printed: that memory after step 100 and after the last
# step, the text of the blocks after step 100 (what the updates added to
# the sequence kept for #undo and #save), the growth per step and the ratio
# last / (step 100 + the blocks' text). Prints a markdown table row.
set -u
. "$(dirname "$0")/long-session.sh"
long_session_setup session-memory 100000 10000 "$@"
"$build/vok-session-driver" "$work/steps" "$work/blocks.txt" \
    "$build/vok" -silent --session "-p=$build/rox-clingo" "$work/kb.lp" || {
    echo "bench: the session failed" >&2
    exit 1
}
at100=$(awk '$1 == 100 { print $4 }' "$work/steps")
last=$(awk '$1 != "total" { v = $4 } END { print v }' "$work/steps")
added=$(tail -n +101 "$work/blocks.txt" | wc -c)
median=$(awk '$1 != "total" && $1 > 0 { print $3 }' "$work/steps" | sort -n |
    awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }')
echo "| facts | steps | resident after step 100 (MiB) | after the last (MiB) | blocks' text after step 100 (MiB) | growth per step (bytes) | last / (step 100 + blocks) | median step CPU (s) |"
echo "|---:|---:|---:|---:|---:|---:|---:|---:|"
awk -v n="$n" -v s="$steps" -v a="$at100" -v l="$last" -v b="$added" -v m="$median" 'BEGIN {
    printf "| %d | %d | %.1f | %.1f | %.2f | %.0f | %.2f | %s |\n", n, s, a / 1024, l / 1024,
        b / 1048576, (l - a) * 1024 / (s - 100), l / (a + b / 1024), m
}'
