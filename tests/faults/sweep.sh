#!/usr/bin/env bash
# Fails the failure points of one representative run in turn, and then
# stops it with a signal at a spread of moments, and checks that every such
# run ends as it should:
#
#   tests/faults/sweep.sh BIN-DIR LIBRARY SOURCE-DIR SCENARIO [KIND...]
#
# LIBRARY is the preloaded library of tests/faults/inject.cpp; KINDs are
# alloc, write, open and signal (default: all four). The run is first made
# without a fault: it must succeed, and its output is the reference. Then,
# for each kind of point, a run counts the points from the process's first
# (before main too), and one run per point
# fails it: every point when there are at most VOK_FAULT_POINTS (200) of
# them, otherwise that many spread evenly over them (VOK_FAULT_SWEEP=all:
# every point). A tenth of the failed memory points are run again with
# every later request failing as well. For signals, SIGINT, SIGTERM and
# SIGHUP in turn reach the run at VOK_FAULT_SIGNALS (24) moments spread
# over the time it takes.
#
# Each run must end
#   - with the status of its kind (vok: 99 out of memory, 1 a file or
#     standard output that cannot be written or opened; rox-clingo and
#     pexa-clingo: 4, 3 and 1) and its message on standard error, unless
#     the failed write was the message itself; or, for a signal, death by
#     it and nothing on standard error,
#   - or with status 0 and exactly the output of the run without a fault:
#     a failure the program works around (a file in the working directory
#     when /tmp cannot be used, a stream without its own buffer), one the
#     C and C++ runtimes work around before main (the C++ runtime's
#     emergency pool for exceptions, room for more exit handlers), or a
#     signal after the end; a memory request of vok's that fails from main
#     on always ends the run with status 99;
#   - never with "terminate called", a sanitizer's report or a core;
#   - with standard output a beginning of the output without a fault, no
#     longer than what was written before the failure; a JSON document
#     valid, with the result "UNKNOWN" and the witnesses written before;
#   - with no file it created left (except the ones it is asked to keep)
#     and no process of its session still running.
# Prints one line per kind and one per problem; the exit status is the
# number of problems (at most 100).
set -u
bin=$(cd "${1:?usage: sweep.sh BIN-DIR LIBRARY SOURCE-DIR SCENARIO [KIND...]}" && pwd) || exit 2
lib=$(cd "$(dirname "$2")" && pwd)/$(basename "$2")
src=$(cd "$3" && pwd) || exit 2
scenario=$4
shift 4
kinds=("$@")
[ ${#kinds[@]} -eq 0 ] && kinds=(alloc write open signal)
limit=${VOK_FAULT_POINTS:-200}
moments=${VOK_FAULT_SIGNALS:-24}
VOK=$bin/vok ROX=$bin/rox-clingo PEXA=$bin/pexa-clingo

work=$(mktemp -d "${TMPDIR:-/tmp}/vok-faults.XXXXXX")
# Only this shell removes the folder: a job stopped by a signal before it
# started the command would otherwise run the trap too.
main_shell=$BASHPID
trap '[ "$BASHPID" = "$main_shell" ] && rm -rf "$work"' EXIT
cd "$work" || exit 2

# A fact base p<i mod 20>(c<i>,d<i mod 7>) and a small update, as in
# bench/fact-base.sh.
facts() {
    awk -v n="$1" 'BEGIN { print "{"; for (i = 0; i < n; i++)
        printf "p%d(c%d,d%d).\n", i % 20, i, i % 7; print "}\n{ -p3(c3,d3). q. }" }'
}

# n pairs of old facts of which a newer program rejects one each: 2^n
# answer sets, all of them minimal.
choices() {
    local i
    echo "{"
    for ((i = 1; i <= $1; i++)); do echo "  x$i. y$i."; done
    echo "}"
    echo "{"
    for ((i = 1; i <= $1; i++)); do echo "  -x$i :- not -y$i.  -y$i :- not -x$i."; done
    echo "}"
}

cp "$src"/examples/{tv.lp,tv-off.lp,meeting.lp,network.lp} .
format=text kept=()
case $scenario in
    plain) program=vok cmd=("$VOK" -silent -p="$ROX" tv.lp) ;;
    min) program=vok cmd=("$VOK" -silent -min -p="$ROX" meeting.lp) ;;
    one-run) program=vok cmd=("$VOK" -silent -strict --one-run -p="$ROX" network.lp) ;;
    explain-json)
        program=vok format=json
        cmd=("$VOK" -silent --explain --json -FC=tv_on -p="$ROX" tv-off.lp)
        ;;
    stored)
        program=vok kept=(kept.vok 'kept_MM*.vok')
        cmd=("$VOK" -silent -min -f=kept.vok -p="$ROX" meeting.lp)
        ;;
    facts)
        program=vok
        facts 300 >facts.lp
        cmd=("$VOK" -silent -p="$ROX" facts.lp)
        ;;
    rox)
        program=rox-clingo
        facts 300 >facts.lp
        "$VOK" -silent -f=facts.vok facts.lp
        cmd=("$ROX" facts.vok)
        ;;
    rox-minimal)
        program=rox-clingo
        "$VOK" -silent -strict --one-run -f=network.vok network.lp
        cmd=("$ROX" --minimal=strict network.vok)
        ;;
    pexa)
        program=pexa-clingo
        "$VOK" -silent -min -P=pexa -f=network.pexa network.lp
        cmd=("$PEXA" network.pexa)
        ;;
    signal-facts)
        program=vok
        facts 60000 >facts.lp
        cmd=("$VOK" -silent -p="$ROX" facts.lp)
        ;;
    signal-min)
        program=vok format=json
        choices 5 >choices.lp
        cmd=("$VOK" -silent -min --json -p="$ROX" choices.lp)
        ;;
    signal-one-run)
        program=vok
        choices 10 >choices.lp
        cmd=("$VOK" -silent -min --one-run -p="$ROX" choices.lp)
        ;;
    *)
        echo "sweep.sh: unknown scenario $scenario" >&2
        exit 2
        ;;
esac

# The status and the message (an extended regular expression for a line
# of standard error) of a failed point of each kind.
if [ "$program" = vok ]; then
    declare -A want_status=([alloc]=99 [write]=1 [open]=1)
    declare -A want_message=(
        [alloc]='^An internal error occurred \(out of memory\)\.$'
        [write]='^Could not write (file .*\. Aborting|to standard output)\.$'
        [open]="(: can't open input\.|^Could not open file .*\. Aborting\.)$")
else
    declare -A want_status=([alloc]=4 [write]=3 [open]=1)
    declare -A want_message=(
        [alloc]="^$program: out of memory$"
        [write]="^$program: (the answer sets could not be written|cannot write)"
        [open]="^$program: cannot read ")
fi

problems=0
problem() {
    problems=$((problems + 1))
    echo "PROBLEM $scenario $*"
    if [ -s err ]; then sed -n '1,6s/^/    stderr: /p' err; fi
}

# Starts the command in a session of its own, with the signals a script's
# background job would ignore back at their defaults; its process id, which
# is also the session's, in $pid.
start() {
    : >out
    : >err
    env "$@" setsid env --default-signal=INT,QUIT,TERM,HUP "${cmd[@]}" >out 2>err </dev/null &
    pid=$!
}

# Waits until no process of the session is left, for at most five seconds
# (under the sanitizers a signal at the very end can meet the leak check,
# whose helper task lingers a moment after the run was waited for).
session_ends() {
    local left
    for _ in $(seq 500); do
        left=$(pgrep -s "$pid") || return 0
        sleep 0.01
    done
    problem "$where: processes still running after the end: $(ps -o comm= -p "${left//$'\n'/,}" | tr '\n' ' ')"
    kill -KILL $left 2>/dev/null
}

# Files the run created that are still there, except those it keeps; they
# are removed for the next run.
files_left() {
    [ -f created ] || return 0
    local name glob keep
    while IFS= read -r name; do
        [ -e "$name" ] || continue
        keep=
        for glob in "${kept[@]}"; do
            # shellcheck disable=SC2053
            [[ ${name##*/} == $glob && ${name%/*} == "$work" ]] && keep=1
        done
        [ -n "$keep" ] || problem "$where: left $name"
        rm -f "$name"
    done <created
    rm -f created
    remove_kept
}

# Standard output is a beginning of the reference (as a document: valid,
# unknown result, the witnesses before the failure); before: the bytes
# written before the failure, or "" when unknown.
output_stands() {
    local before=$1 failed_fd=$2
    if [ "$format" = json ]; then
        # A document whose own write failed cannot be whole; a run that a
        # signal ended before it began the document printed none, and one
        # that it ended after the document was closed (on a busy machine
        # the signal may come that late) printed the whole of it.
        [ "$failed_fd" = 1 ] && return 0
        [ "$failed_fd" = signal ] && { [ ! -s out ] || same_as_clean; } && return 0
        if ! jq -e '.Result == "UNKNOWN"' out >/dev/null 2>&1; then
            problem "$where: the document is not valid JSON with the result UNKNOWN"
            return
        fi
        jq -e --slurpfile c clean.out '(.Call[0].Witnesses | map(.Value)) as $w
            | ($c[0].Call[0].Witnesses | map(.Value))[0:($w | length)] == $w' out >/dev/null ||
            problem "$where: witnesses that the run without a fault does not print first"
        if [ -n "$before" ]; then
            local shown written
            shown=$(jq '.Call[0].Witnesses | length' out)
            written=$(head -c "$before" out | grep -c '"Value"')
            [ "${shown:-0}" -le "$written" ] || problem "$where: a witness written after the failure"
        fi
        return
    fi
    local size
    size=$(stat -c %s out)
    cmp -s out <(head -c "$size" clean.out) ||
        problem "$where: standard output is not a beginning of the output without a fault"
    if [ -n "$before" ] && [ "$size" -gt "$before" ]; then
        problem "$where: $((size - before)) bytes on standard output after the failure"
    fi
}

# Whether standard output is that of the run without a fault; the seconds of
# a JSON document's "Time" differ from run to run and are left out.
same_as_clean() {
    if [ "$format" != json ]; then cmp -s out clean.out; return; fi
    local seconds='s/("(Total|Solve|Model|Unsat|CPU)": )[0-9]+\.[0-9]{3}/\1T/'
    cmp -s <(sed -E "$seconds" out) <(sed -E "$seconds" clean.out)
}

# Checks a run that ended with status; expected: the status of its kind,
# message: the regular expression of its message.
judge() {
    local status=$1 expected=$2 message=$3 before=${4:-} failed_fd=${5:--1} absorbable=${6:-1}
    if [ "$status" = 134 ] || [ "$status" = 139 ] || grep -q 'terminate called' err; then
        problem "$where: crashed (status $status)"
    fi
    if grep -qE 'Sanitizer|runtime error:' err; then problem "$where: a sanitizer's report"; fi
    if [ "$status" = 0 ] && [ "$absorbable" = 0 ]; then
        problem "$where: status 0, expected $expected"
    elif [ "$status" = 0 ]; then
        if same_as_clean && cmp -s err clean.err; then
            absorbed=$((absorbed + 1))
        else
            problem "$where: status 0, but not the output of the run without a fault"
        fi
    else
        [ "$status" = "$expected" ] || problem "$where: status $status, expected $expected"
        if [ -n "$message" ] && [ "$failed_fd" != 2 ] && ! grep -qE "$message" err; then
            problem "$where: no message"
        fi
        # A run ended by a signal dies quietly, its children with it.
        if [ "$failed_fd" = signal ] && [ -s err ]; then
            problem "$where: a message on standard error"
        fi
        output_stands "$before" "$failed_fd"
    fi
    session_ends
    files_left
}

# The points to fail among n: all, or limit of them spread evenly.
points() {
    local n=$1
    if [ "${VOK_FAULT_SWEEP:-}" = all ] || [ "$n" -le "$limit" ]; then
        seq 1 "$n"
    else
        awk -v n="$n" -v m="$limit" 'BEGIN { for (i = 0; i < m; i++) print 1 + int(i * (n - 1) / (m - 1)) }' | uniq
    fi
}

errnos=(ENOSPC EIO EACCES)

# The position of each kind's count of points before main in the report.
declare -A main_field=([alloc]=13 [write]=14 [open]=15)

sweep_points() {
    local kind=$1 n k status report i=0 persist early absorbable
    start LD_PRELOAD="$lib" VOK_FAULT_PROGRAM="$program" VOK_FAULT_REPORT="$work/report"
    wait "$pid" 2>/dev/null
    remove_kept
    report=$(cat report 2>/dev/null)
    n=$(awk -v kind="$kind" '{ for (f = 1; f < NF; f++) if ($f == kind) print $(f + 1) }' <<<"$report")
    if [ -z "$n" ] || [ "$n" = 0 ]; then
        problem "$kind: no points counted ($report)"
        return
    fi
    read -r -a report <<<"$report"
    early=${report[${main_field[$kind]}]:-0}
    absorbed=0
    local runs=0
    for k in $(points "$n"); do
        for persist in 0 1; do
            [ "$persist" = 1 ] && { [ "$kind" != alloc ] || [ $((i % 10)) != 0 ]; } && continue
            where="$kind $k/$n"
            [ "$persist" = 1 ] && where+=" and later"
            rm -f report
            start LD_PRELOAD="$lib" VOK_FAULT_PROGRAM="$program" VOK_FAULT_KIND="$kind" \
                VOK_FAULT_AT="$k" VOK_FAULT_PERSIST="$persist" VOK_FAULT_ERRNO="${errnos[k % 3]}" \
                VOK_FAULT_REPORT="$work/report" VOK_FAULT_CREATED="$work/created"
            wait "$pid" 2>/dev/null
            status=$?
            runs=$((runs + 1))
            read -r -a report <report 2>/dev/null || report=()
            # "alloc A write W open O failed K fd F stdout S"
            local before="" fd=-1
            if [ "${report[7]:-0}" != 0 ]; then before=${report[11]} fd=${report[9]}; fi
            # vok's own memory requests have no way around a failure.
            absorbable=1
            [ "$program" = vok ] && [ "$kind" = alloc ] && [ "$k" -gt "$early" ] && absorbable=0
            judge "$status" "${want_status[$kind]}" "${want_message[$kind]}" "$before" "$fd" \
                "$absorbable"
            [ "$problems" -ge 100 ] && return
        done
        i=$((i + 1))
    done
    echo "$scenario $kind: $n points ($early before main), $runs runs, $absorbed worked around"
}

# Seconds since the epoch with fractions.
now() { date +%s.%N; }

sweep_signals() {
    local t0 t1 span m delay sig status signals=(INT TERM HUP) killed=0
    local -A number=([INT]=2 [TERM]=15 [HUP]=1)
    t0=$(now)
    start
    wait "$pid" 2>/dev/null
    t1=$(now)
    span=$(awk -v a="$t0" -v b="$t1" 'BEGIN { print b - a }')
    absorbed=0
    for ((m = 0; m < moments; m++)); do
        sig=${signals[m % 3]}
        delay=$(awk -v s="$span" -v m="$m" -v n="$moments" 'BEGIN { printf "%.3f", s * 1.1 * m / n }')
        where="SIG$sig after ${delay}s of ${span}s"
        rm -f created
        start VOK_FAULT_PROGRAM="$program" LD_PRELOAD="$lib" VOK_FAULT_CREATED="$work/created"
        # The moment counts from the start of the program, not of the
        # commands that start it.
        until [[ $(readlink "/proc/$pid/exe") == */"$program" ]]; do
            kill -0 "$pid" 2>/dev/null || break
        done
        sleep "$delay"
        kill -s "$sig" "$pid" 2>/dev/null
        wait "$pid" 2>/dev/null
        status=$?
        [ "$status" = $((128 + ${number[$sig]})) ] && killed=$((killed + 1))
        judge "$status" $((128 + ${number[$sig]})) '' "" signal
        [ "$problems" -ge 100 ] && return
    done
    echo "$scenario signal: $moments runs over ${span}s, $killed ended by the signal"
}

# The run without a fault.
where=clean
start
wait "$pid" 2>/dev/null
status=$?
mv out clean.out
mv err clean.err
if [ "$status" != 0 ]; then
    echo "PROBLEM $scenario: the run without a fault ended with status $status"
    sed 's/^/    stderr: /' clean.err
    exit 1
fi
[ "$format" != json ] || jq -e . clean.out >/dev/null || { echo "PROBLEM $scenario: invalid JSON"; exit 1; }
# The files a run keeps, removed before the next one.
remove_kept() {
    local glob
    for glob in "${kept[@]}"; do rm -f $glob; done
}
remove_kept

for kind in "${kinds[@]}"; do
    case $kind in
        signal) sweep_signals ;;
        *) sweep_points "$kind" ;;
    esac
    [ "$problems" -ge 100 ] && break
done
[ "$problems" -gt 100 ] && problems=100
exit "$problems"
