#!/usr/bin/env bash
# A session against one run per step:
#
#   bash bench/session.sh BUILD [FACTS[:UPDATES]...]   (default: 100000 1000000)
#
# Program 0 holds FACTS facts p<i mod 20>(c<i>,d<i mod 7>); then 20 small
# updates, one block each: a few facts, a rule and a retraction,
#   { f(i,a). f(i,b). g<i>. -p<j>(X,Y) :- r<i>(X,Y). r<i>(c..,d..). -p<k>(c..,d..). }
# (UPDATES "retract", the default: the rule derives retractions of base facts
# from a relation of its own). With UPDATES "read" the rule reads the base
# instead, s<i>(X) :- p<j>(X,Y), not f(i,X). (every fact of p<j> goes to
# clingo).
#
# The session (vok --session -p=rox-clingo, driven by vok-session-driver,
# which writes a block, waits for its closing line and reads everything vok
# prints) against 20 runs of vok -p=rox-clingo on the growing sequence (the
# files and every block so far). Session: step 0 (the files), the median
# and the largest of steps 1..20, all steps, and the peak memory of its
# largest process; runs: the median run, all 20 runs and the largest peak.
# Speed-up: all 20 runs against the whole session; the median step against
# the median run. Prints a markdown section.
#
# Environment: VOK_SESSION_RUNS: which runs to time, "all" (the default
# below 10^6 facts) or "ends" (the first and the last, the default from 10^6
# on; all 20 runs are then estimated from those two as growing evenly);
# VOK_SESSION_OPTIONS: more options for the session only, split at blanks
# (such as --changes, which prints each step by what changed).
set -u
build=${1:?usage: bench/session.sh BUILD [FACTS[:UPDATES]...]}
build=$(cd "$build" && pwd) || exit 2
shift
sizes=("$@")
[ ${#sizes[@]} -eq 0 ] && sizes=(100000 1000000)
for tool in vok rox-clingo vok-measure vok-session-driver; do
    [ -x "$build/$tool" ] || { echo "bench: $build/$tool is missing; build it first" >&2; exit 2; }
done
work=$(mktemp -d "${TMPDIR:-/tmp}/vok-session.XXXXXX")
trap 'rm -rf "$work"' EXIT
updates=20

# inputs N KIND: the fact base in kb.lp, the blocks one a line in blocks.txt.
inputs() {
    awk -v n="$1" -v u="$updates" -v kind="$2" -v kb="$work/kb.lp" -v blocks="$work/blocks.txt" '
        function fact(i) { return sprintf("p%d(c%d,d%d)", i % 20, i, i % 7) }
        BEGIN {
            srand(7)
            print "{" > kb
            for (i = 0; i < n; i++) print fact(i) "." > kb
            print "}" > kb
            for (i = 1; i <= u; i++) {
                j = int(rand() * n); k = int(rand() * n)
                rule = sprintf("-p%d(X,Y) :- r%d(X,Y). r%d(c%d,d%d).", j % 20, i, i, j, j % 7)
                if (kind == "read") rule = sprintf("s%d(X) :- p%d(X,Y), not f(%d,X).", i, j % 20, i)
                printf "{ f(%d,a). f(%d,b). g%d. %s -%s. }\n", i, i, i, rule, fact(k) > blocks
            }
        }'
}

# median FILE: the middle value of a column of numbers
median() { sort -n "$1" | awk '{ v[NR] = $1 } END { print (NR ? v[int((NR + 1) / 2)] : 0) }'; }

echo
echo "## A session against one run per step"
echo
echo "Program 0: N facts \`p<i mod 20>(c<i>,d<i mod 7>).\`, then $updates blocks of a few facts,"
echo "a rule and a retraction. Session: vok --session -p=rox-clingo driven block by block"
echo "(its output read whole); runs: vok -p=rox-clingo on the files and every block so far."
echo "Seconds are wall time; peak: the largest process, MiB."
echo
echo "| facts | rule | session: step 0 | median step | largest step | all steps | peak | runs: median | all $updates | peak | speed-up (all) | median step / median run |"
echo "|---:|---|---:|---:|---:|---:|---:|---:|---:|---:|---:|---:|"
for size in "${sizes[@]}"; do
    n=${size%%:*}
    kind=retract
    [[ $size == *:* ]] && kind=${size#*:}
    case $kind in retract | read) ;; *) echo "bench: unknown updates $kind" >&2; exit 2 ;; esac
    inputs "$n" "$kind"
    read -r -a sessionOptions <<<"${VOK_SESSION_OPTIONS:-}"
    "$build/vok-session-driver" "$work/steps" "$work/blocks.txt" \
        "$build/vok" -silent --session "${sessionOptions[@]}" "-p=$build/rox-clingo" "$work/kb.lp" || {
        echo "bench: the session failed" >&2
        exit 1
    }
    awk '$1 != "total" && $1 > 0 { print $2 }' "$work/steps" >"$work/step-times"
    step0=$(awk '$1 == 0 { print $2 }' "$work/steps")
    read -r _ total peak _ _ < <(grep '^total' "$work/steps")
    runs=${VOK_SESSION_RUNS:-}
    [ -z "$runs" ] && { [ "$n" -ge 1000000 ] && runs=ends || runs=all; }
    : >"$work/run-times"
    runPeak=0
    cp "$work/kb.lp" "$work/seq.lp"
    for ((i = 1; i <= updates; i++)); do
        sed -n "${i}p" "$work/blocks.txt" >>"$work/seq.lp"
        [ "$runs" = ends ] && [ "$i" -ne 1 ] && [ "$i" -ne "$updates" ] && continue
        "$build/vok-measure" "$work/one" "$build/vok" -silent "-p=$build/rox-clingo" \
            "$work/seq.lp" >/dev/null
        read -r seconds kib _ _ <"$work/one"
        echo "$seconds" >>"$work/run-times"
        [ "$kib" -gt "$runPeak" ] && runPeak=$kib
    done
    if [ "$runs" = ends ]; then
        allRuns=$(awk -v u="$updates" '{ v[NR] = $1 } END { printf "%.3f", (v[1] + v[2]) / 2 * u }' \
            "$work/run-times")
        allNote=" (est.)"
    else
        allRuns=$(awk '{ s += $1 } END { printf "%.3f", s }' "$work/run-times")
        allNote=""
    fi
    medStep=$(median "$work/step-times")
    maxStep=$(sort -n "$work/step-times" | tail -n 1)
    medRun=$(median "$work/run-times")
    awk -v n="$n" -v kind="$kind" -v s0="$step0" -v ms="$medStep" -v xs="$maxStep" -v t="$total" \
        -v p="$peak" -v mr="$medRun" -v ar="$allRuns" -v note="$allNote" -v rp="$runPeak" 'BEGIN {
        printf "| %d | %s | %.3f | %.4f | %.4f | %.3f | %.0f | %.3f | %.3f%s | %.0f | x%.1f | 1/%.0f |\n",
            n, kind, s0, ms, xs, t, p / 1024, mr, ar, note, rp / 1024, ar / t, mr / ms
    }'
done
