#!/usr/bin/env bash
# A large fact base with a small update, against clingo on the same
# knowledge written as one plain program:
#
#   bash bench/fact-base.sh BUILD [FACTS[:UPDATE]...]
#                                  (default: 100000 1000000, UPDATE two)
#
# Program 0 holds FACTS facts p<i mod 20>(c<i>,d<i mod 7>), then the update:
#   two     { -p3(c3,d3). q. }
#   twenty  { -p0(c0,d0). ... -p19(c19,d5). q. }: a fact of every predicate
#   rule    { -p3(X,Y) :- r(X,Y). r(c3,d3). q. }: a rule that may reject any
#           fact of p3
#   three   { -p3(c3,d3). } and then { q. }: two update programs
#   choice  { -p3(c3,d3). q. } with a choice: mode(fast) :- not mode(slow).
#           mode(slow) :- not mode(fast). priority(X) :- ok(X), mode(fast).
#           (two answer sets, all printed: vok -o=-n=0)
#   choice-min  the same with vok --one-run -min (rox-clingo --minimal=min)
#   choice-brave, choice-cautious  the same with vok --enum-mode=brave or
#           cautious (rox-clingo --consequences=...), and clingo on the plain
#           program with --enum-mode=brave or cautious
#   rule-brave  the rule update with the choice, brave consequences
#   choices-cautious  the choice and two more (level(hi|lo), size(big|small)):
#           eight answer sets, cautious consequences
# The plain program is the same knowledge as one program: the facts the
# update does not override, plus the update. Per size, taking turns: clingo
# on the plain program;
# vok -p=rox-clingo end to end; vok alone (-f=); rox-clingo's reading and
# translation alone (with a stand-in for clingo that only reads the text).
# Time is wall and CPU seconds (the CPU of a run includes its children);
# memory is the peak of the largest process. Prints a markdown section.
#
# Environment: VOK_FACT_RUNS (runs below 10^6 facts, best counts; default 3;
# one run at 10^6 and above).
set -u
build=${1:?usage: bench/fact-base.sh BUILD [FACTS...]}
build=$(cd "$build" && pwd) || exit 2
shift
sizes=("$@")
[ ${#sizes[@]} -eq 0 ] && sizes=(100000 1000000)
for tool in vok rox-clingo vok-measure; do
    [ -x "$build/$tool" ] || { echo "bench: $build/$tool is missing; build it first" >&2; exit 2; }
done
clingo=$(command -v clingo) || { echo "bench: clingo is not installed" >&2; exit 2; }
work=$(mktemp -d "${TMPDIR:-/tmp}/vok-facts.XXXXXX")
trap 'rm -rf "$work"' EXIT

# Reads the whole text as clingo would, then reports an empty search.
printf '#!/bin/sh\ncat >/dev/null\nexit 20\n' >"$work/reader"
chmod +x "$work/reader"

# run NAME COMMAND...: one measured run, kept in $work/NAME when it is the
# fastest so far ("SECONDS KIB STATUS CPU").
run() {
    local name=$1
    shift
    "$build/vok-measure" "$work/one" "$@" >/dev/null 2>"$work/stderr"
    if [ ! -s "$work/$name" ] ||
        awk -v a="$(cut -d' ' -f1 "$work/one")" -v b="$(cut -d' ' -f1 "$work/$name")" \
            'BEGIN { exit !(a < b) }'; then
        cp "$work/one" "$work/$name"
    fi
}
# cell NAME: "wall s / CPU s / MiB"
cell() { awk '{ printf "%.2f / %.2f / %.0f", $1, $4, $2 / 1024 }' "$work/$1"; }
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.1f", (b > 0 ? a / b : 0) }'; }
field() { cut -d' ' -f"$2" "$work/$1"; }

echo
echo "## Fact base with a small update"
echo
echo "Program 0: N facts \`p<i mod 20>(c<i>,d<i mod 7>).\`, update \`{ -p3(c3,d3). q. }\` (two), with"
echo "a choice between mode(fast) and mode(slow) (choice: vok -o=-n=0; choice-min: --one-run -min);"
echo "plain: clingo on the same knowledge as one program. Each cell: wall s / CPU s /"
echo "peak MiB of the largest process; runs taken in turns, best of"
echo "${VOK_FACT_RUNS:-3} below 10^6 facts, one run at 10^6. Ratios: end to end against plain."
echo
echo "| facts | update | plain clingo | vok -p=rox-clingo | vok alone | rox-clingo read + translate | time (wall, CPU) | peak |"
echo "|---:|---|---:|---:|---:|---:|---:|---:|"
# inputs N UPDATE: the sequence in kb.txt, the same knowledge in plain.lp.
inputs() {
    awk -v n="$1" -v u="$2" -v kb="$work/kb.txt" -v plain="$work/plain.lp" '
        function fact(i) { return sprintf("p%d(c%d,d%d)", i % 20, i, i % 7) }
        BEGIN {
            over = u == "twenty" ? 20 : 4   # facts below it may be overridden
            update = "-p3(c3,d3). q."
            if (u ~ /^rule/) update = "-p3(X,Y) :- r(X,Y). r(c3,d3). q."
            if (u ~ /^choice|^rule-/) update = update " mode(fast) :- not mode(slow). mode(slow) :- not mode(fast). priority(X) :- ok(X), mode(fast)."
            if (u ~ /^choices/) update = update " level(hi) :- not level(lo). level(lo) :- not level(hi). size(big) :- not size(small). size(small) :- not size(big)."
            if (u == "twenty") { update = ""; for (i = 0; i < 20; i++) update = update "-" fact(i) ". "; update = update "q." }
            print "{" > kb
            for (i = 0; i < n; i++) print fact(i) "." > kb
            print "}" > kb
            if (u == "three") print "{ -p3(c3,d3). }\n{ q. }" > kb
            else print "{ " update " }" > kb
            for (i = 0; i < n; i++) if (i >= over || (u != "twenty" && i != 3)) print fact(i) "." > plain
            print update > plain
        }'
}
for size in "${sizes[@]}"; do
    n=${size%%:*}
    update=two
    [[ $size == *:* ]] && update=${size#*:}
    case $update in
        two | twenty | rule | three | choice | choice-min | choice-brave | choice-cautious | \
            rule-brave | choices-cautious) ;;
        *) echo "bench: unknown update $update" >&2; exit 2 ;;
    esac
    # What vok and rox-clingo are asked for: every answer set, or with
    # choice-min the minimal ones in one run.
    vok_mode=(-o=-n=0)
    rox_mode=()
    clingo_mode=()
    if [ "$update" = choice-min ]; then vok_mode=(--one-run -min); rox_mode=(--minimal=min); fi
    # The consequences, computed by clingo's own enumeration on both sides.
    if [[ $update == *-brave || $update == *-cautious ]]; then
        vok_mode=(--enum-mode="${update#*-}")
        rox_mode=(--consequences="${update#*-}")
        clingo_mode=(--enum-mode="${update#*-}")
    fi
    inputs "$n" "$update"
    runs=${VOK_FACT_RUNS:-3}
    [ "$n" -ge 1000000 ] && runs=1
    rm -f "$work/plain" "$work/e2e" "$work/own" "$work/translate"
    for ((r = 0; r < runs; r++)); do
        run plain "$clingo" --warn=none "${clingo_mode[@]}" --models=0 --outf=0 --verbose=1 \
            "$work/plain.lp"
        run e2e "$build/vok" -silent "${vok_mode[@]}" "-p=$build/rox-clingo" "$work/kb.txt"
        run own "$build/vok" -silent "${vok_mode[@]}" "-f=$work/kb.rox" "$work/kb.txt"
        run translate "$build/rox-clingo" "${rox_mode[@]}" "--clingo=$work/reader" "$work/kb.rox"
    done
    printf '| %d | %s | %s | %s | %s | %s | %s, %s | %s |\n' "$n" "$update" "$(cell plain)" "$(cell e2e)" \
        "$(cell own)" "$(cell translate)" "$(ratio "$(field e2e 1)" "$(field plain 1)")" \
        "$(ratio "$(field e2e 4)" "$(field plain 4)")" "$(ratio "$(field e2e 2)" "$(field plain 2)")"
    rm -f "$work/kb.txt" "$work/plain.lp" "$work/kb.rox"
done
