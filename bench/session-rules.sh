#!/usr/bin/env bash
# Sessions over a fact base that rules read, against one full run:
#
#   bash bench/session-rules.sh BUILD [SHAPE:FACTS...]   (default: join:100000
#                                                         paths:100000 reject:100000)
#
# Shapes (program 0 holds the facts and the rules; then 20 update blocks):
#   join    half emp(e<I>,d<I mod 1000>), half salary(e<I>,<I mod 100>);
#           ok(X) :- emp(X,D), not blocked(D).  rich(X) :- salary(X,S), S > 90.
#           updates cycle { blocked(dJ). emp(nK,dJ). }, { -emp(eI,dJ). } (a
#           base fact retracted) and { -ok(X) :- emp(X,dJ), salary(X,S). }
#   paths   edge(n<I>,n<I+1>) in chains of 10 nodes; path/2 its transitive
#           closure (recursion over the base); updates cycle a new edge, an
#           edge retracted and { -path(X,Y) :- edge(X,Y), mark(Y). mark(nJ). }
#   reject  the join base; every update is a rule that rejects a tenth of
#           the ok/1 atoms, { -ok(X) :- emp(X,D), salary(X,<J>). }
#   choice  the join base and its updates, and a choice that reads what the
#           rules derive: pick :- rich(e91), not skip.  skip :- rich(e91),
#           not pick.  (two answer sets)
#   choice1 the join base and its updates, and a search over 1% of the base
#           that reads derived atoms: cand(X) :- top(X), ok(X).  top(X) :-
#           salary(X,S), S > 97.  (1000 atoms at 10^5)  pick(X) :- cand(X),
#           not skip(X).  skip(X) :- cand(X), not pick(X).  :- skip(X),
#           X != e98.  (an even loop per candidate, all but one forced: two
#           answer sets while cand(e98) holds, one otherwise)
#   choicerule  choice1's candidates picked by a choice rule: { pick(X) } :-
#           cand(X).  :- pick(X), X != e98.  (two answer sets while cand(e98)
#           holds, one otherwise)
#   choicebase  the choice of choicerule with the base in its body: { pick(X) }
#           :- salary(X,S), S > 97, emp(X,D), not blocked(D).
#   many    a thousand predicates: p<K>(e<I>,v<I mod 10>) for K = I mod
#           1000; per K, q<K>(X) :- p<K>(X,V), not b<K>(V).  and s<K>(V) :-
#           p<K>(X,V), q<K>(X).  updates cycle { b<K>(vJ). p<K>(nI,vJ). },
#           { -p<K>(eI,vJ). } (a base fact retracted) and { -q<K>(X) :-
#           p<K>(X,vJ). }, each on a predicate of its own
#
# Session: vok --session -p=rox-clingo, driven by vok-session-driver; step
# 0, the median and the largest later step, in CPU seconds of vok and its
# clingo (the process tree). Run: vok -p=rox-clingo on the base and all 20
# blocks, CPU seconds of the tree (vok-measure). Plain clingo: clingo on the
# base program alone, the yardstick of grounding and solving it once.
# Prints a markdown table.
#
# Environment: VOK_SESSION_OPTIONS: more options for the session only, split
# at blanks (such as --changes, which prints each step by what changed).
set -u
build=${1:?usage: bench/session-rules.sh BUILD [SHAPE:FACTS...]}
build=$(cd "$build" && pwd) || exit 2
shift
cases=("$@")
[ ${#cases[@]} -eq 0 ] && cases=(join:100000 paths:100000 reject:100000)
for tool in vok rox-clingo vok-measure vok-session-driver; do
    [ -x "$build/$tool" ] || { echo "bench: $build/$tool is missing; build it first" >&2; exit 2; }
done
command -v clingo >/dev/null || { echo "bench: clingo is not on PATH" >&2; exit 2; }
work=$(mktemp -d "${TMPDIR:-/tmp}/vok-session-rules.XXXXXX")
trap 'rm -rf "$work"' EXIT
updates=20

# inputs SHAPE N: the base program in kb.lp (facts and rules, in braces),
# the same as plain clingo text in plain.lp, the blocks one a line in
# blocks.txt.
inputs() {
    awk -v shape="$1" -v n="$2" -v u="$updates" -v kb="$work/kb.lp" -v plain="$work/plain.lp" \
        -v blocks="$work/blocks.txt" '
        function emit(text) { print text > kb; print text > plain }
        BEGIN {
            srand(11)
            print "{" > kb
            if (shape == "many") {
                for (i = 0; i < n; i++) emit(sprintf("p%d(e%d,v%d).", i % 1000, i, i % 10))
                for (k = 0; k < 1000; k++) {
                    emit(sprintf("q%d(X) :- p%d(X,V), not b%d(V).", k, k, k))
                    emit(sprintf("s%d(V) :- p%d(X,V), q%d(X).", k, k, k))
                }
            } else if (shape == "paths") {
                for (i = 0; i < n; i++) if (i % 10 != 9) emit(sprintf("edge(n%d,n%d).", i, i + 1))
                emit("path(X,Y) :- edge(X,Y).")
                emit("path(X,Z) :- path(X,Y), edge(Y,Z).")
            } else {
                half = int(n / 2)
                for (i = 0; i < half; i++) emit(sprintf("emp(e%d,d%d).", i, i % 1000))
                for (i = 0; i < n - half; i++) emit(sprintf("salary(e%d,%d).", i, i % 100))
                emit("ok(X) :- emp(X,D), not blocked(D).")
                emit("rich(X) :- salary(X,S), S > 90.")
                if (shape == "choice") {
                    emit("pick :- rich(e91), not skip.")
                    emit("skip :- rich(e91), not pick.")
                }
                if (shape == "choice1") {
                    emit("top(X) :- salary(X,S), S > 97.")
                    emit("cand(X) :- top(X), ok(X).")
                    emit("pick(X) :- cand(X), not skip(X).")
                    emit("skip(X) :- cand(X), not pick(X).")
                    emit(":- skip(X), X != e98.")
                }
                if (shape == "choicebase") {
                    emit("{ pick(X) } :- salary(X,S), S > 97, emp(X,D), not blocked(D).")
                    emit(":- pick(X), X != e98.")
                }
                if (shape == "choicerule") {
                    emit("top(X) :- salary(X,S), S > 97.")
                    emit("cand(X) :- top(X), ok(X).")
                    emit("{ pick(X) } :- cand(X).")
                    emit(":- pick(X), X != e98.")
                }
            }
            print "}" > kb
            for (i = 1; i <= u; i++) {
                k = int(rand() * n); j = int(rand() * 1000)
                if (shape == "many") {
                    p = k % 1000
                    if (i % 3 == 1) b = sprintf("{ b%d(v%d). p%d(n%d,v%d). }", p, j % 10, p, k, j % 10)
                    else if (i % 3 == 2) b = sprintf("{ -p%d(e%d,v%d). }", p, k, k % 10)
                    else b = sprintf("{ -q%d(X) :- p%d(X,v%d). }", p, p, j % 10)
                } else if (shape == "paths") {
                    a = k - k % 10
                    if (i % 3 == 1) b = sprintf("{ edge(n%d,n%d). }", a + 9, int(rand() * n))
                    else if (i % 3 == 2) b = sprintf("{ -edge(n%d,n%d). }", a + 4, a + 5)
                    else b = sprintf("{ -path(X,Y) :- edge(X,Y), mark(Y). mark(n%d). }", a + 3)
                } else if (shape == "reject") {
                    b = sprintf("{ -ok(X) :- emp(X,D), salary(X,%d). }", int(rand() * 100))
                } else {
                    e = int(k / 2)
                    if (i % 3 == 1) b = sprintf("{ blocked(d%d). emp(n%d,d%d). }", j, k, j)
                    else if (i % 3 == 2) b = sprintf("{ -emp(e%d,d%d). }", e, e % 1000)
                    else b = sprintf("{ -ok(X) :- emp(X,d%d), salary(X,S). }", j)
                }
                print b > blocks
            }
        }'
}

median() { sort -n "$1" | awk '{ v[NR] = $1 } END { print (NR ? v[int((NR + 1) / 2)] : 0) }'; }

# cpuOf FILE: the CPU seconds vok-measure wrote
cpuOf() { awk '{ print $4 }' "$1"; }

echo
echo "## Sessions over a base that rules read"
echo
echo "CPU seconds of vok and its clingo; run: vok -p=rox-clingo on the base and all"
echo "$updates blocks; plain clingo: the base program alone. Peak: MiB, the largest process."
echo
echo "| shape | facts | step 0 | median step | largest step | session peak | run | run peak | plain clingo | step 0 / run | run / median step |"
echo "|---|---:|---:|---:|---:|---:|---:|---:|---:|---:|---:|"
for c in "${cases[@]}"; do
    shape=${c%%:*}
    n=${c#*:}
    case $shape in join | paths | reject | choice | choice1 | choicerule | choicebase | many) ;; *) echo "bench: unknown shape $shape" >&2; exit 2 ;; esac
    inputs "$shape" "$n"
    read -r -a sessionOptions <<<"${VOK_SESSION_OPTIONS:-}"
    "$build/vok-session-driver" "$work/steps" "$work/blocks.txt" \
        "$build/vok" -silent "${sessionOptions[@]}" --session "-p=$build/rox-clingo" "$work/kb.lp" || {
        echo "bench: the session failed" >&2
        exit 1
    }
    awk '$1 != "total" && $1 > 0 { print $3 }' "$work/steps" >"$work/step-cpu"
    step0=$(awk '$1 == 0 { print $3 }' "$work/steps")
    read -r _ _ peak _ _ < <(grep '^total' "$work/steps")
    { cat "$work/kb.lp" "$work/blocks.txt"; } >"$work/seq.lp"
    "$build/vok-measure" "$work/one" "$build/vok" -silent "-p=$build/rox-clingo" "$work/seq.lp" \
        >/dev/null
    run=$(cpuOf "$work/one")
    read -r _ runPeak _ _ <"$work/one"
    "$build/vok-measure" "$work/plain" clingo -q -W none "$work/plain.lp" >/dev/null
    plainCpu=$(cpuOf "$work/plain")
    medStep=$(median "$work/step-cpu")
    maxStep=$(sort -n "$work/step-cpu" | tail -n 1)
    awk -v shape="$shape" -v n="$n" -v s0="$step0" -v ms="$medStep" -v xs="$maxStep" \
        -v p="$peak" -v r="$run" -v rp="$runPeak" -v pc="$plainCpu" 'BEGIN {
        printf "| %s | %d | %.3f | %.3f | %.3f | %.0f | %.3f | %.0f | %.3f | %.2f | %s |\n",
            shape, n, s0, ms, xs, p / 1024, r, rp / 1024, pc, s0 / r,
            (ms > 0 ? sprintf("%.1f", r / ms) : "-")
    }'
done
