#!/usr/bin/env bash
# vok's own work (parse, rewrite, write the program with -f=) on large
# inputs: wall time, CPU time, peak memory, bytes of peak memory per input
# rule and the growth from the smaller to the larger size of each input
# kind. The CPU time (user and system) is shown besides the wall time
# because on a shared machine waiting for a processor inflates only the
# latter.
#
#   bash bench/own-work.sh BUILD [VOK...]
#
# BUILD holds vok-generate, vok-generate-mixed and vok-measure. The VOK arguments are the vok
# binaries to measure (default BUILD/vok); with several (a baseline and a
# candidate, say) the runs take turns, so that a passing load on the machine
# weighs on each alike, and each figure is the best of its runs.
#
# Inputs:
#   sparse  vok-generate 10 R/10 R/500: 10 programs over P = rules/500
#           predicates, at 10^5 and 10^6 rules;
#   dense   the same over P = rules/50 (more update predicates and inertia
#           rules per input rule);
#   mixed   vok-generate-mixed 10 R/10 R/4: 10 programs over P = rules/4
#           predicates with a few ground instances each, every kind of
#           statement mixed (facts, rules with strong and default negation,
#           constraints), so that most predicates get update predicates and
#           inertia at every program;
#   mixed40 the same over P = rules/40;
#   facts   a knowledge base of 3*10^5 and 10^6 facts p<i mod 20>(c<i>,
#           d<i mod 7>) in one program, then an update of two facts.
# The rule count of an input is the generator's rule count (constraints
# included) or the number of facts.
#
# Environment: VOK_OWN_RUNS (runs per binary and input, default 3),
# VOK_OWN_SMALL / VOK_OWN_LARGE (sizes of the generated inputs, default
# 100000 / 1000000), VOK_OWN_FACTS (the two fact counts, default
# "300000 1000000"), VOK_OWN_TABLE (also append the markdown table there).
set -u
build=${1:?usage: bench/own-work.sh BUILD [VOK...]}
build=$(cd "$build" && pwd) || exit 2
shift
voks=("$@")
[ ${#voks[@]} -eq 0 ] && voks=("$build/vok")
runs=${VOK_OWN_RUNS:-3}
small=${VOK_OWN_SMALL:-100000}
large=${VOK_OWN_LARGE:-1000000}
read -r facts_small facts_large <<<"${VOK_OWN_FACTS:-300000 1000000}"
table_out=${VOK_OWN_TABLE:-}

for tool in vok-generate vok-generate-mixed vok-measure; do
    if [ ! -x "$build/$tool" ]; then
        echo "own-work: $build/$tool is missing; build it first" >&2
        exit 2
    fi
done
for v in "${voks[@]}"; do
    [ -x "$v" ] || { echo "own-work: $v is not executable" >&2; exit 2; }
done

work=$(mktemp -d "${TMPDIR:-/tmp}/vok-own.XXXXXX")
trap 'rm -rf "$work"' EXIT

# input KIND SIZE FILE: writes the input of that kind and size.
input() {
    case $1 in
        sparse) "$build/vok-generate" 10 $(($2 / 10)) $(($2 / 500)) >"$3" ;;
        dense) "$build/vok-generate" 10 $(($2 / 10)) $(($2 / 50)) >"$3" ;;
        mixed) "$build/vok-generate-mixed" 10 $(($2 / 10)) $(($2 / 4)) >"$3" ;;
        mixed40) "$build/vok-generate-mixed" 10 $(($2 / 10)) $(($2 / 40)) >"$3" ;;
        facts) awk -v n="$2" 'BEGIN {
                   print "{"
                   for (i = 0; i < n; i++) printf "p%d(c%d,d%d).\n", i % 20, i, i % 7
                   print "}"
                   print "{"
                   print "p0(c0,d1)."
                   print "-p1(c1,d1)."
                   print "}"
               }' >"$3" ;;
    esac
}

# One line per binary, kind and size: "VOK KIND SIZE SECONDS KIB CPU".
: >"$work/results"
kinds="sparse dense mixed mixed40 facts"
for kind in $kinds; do
    if [ "$kind" = facts ]; then sizes=("$facts_small" "$facts_large"); else sizes=("$small" "$large"); fi
    for n in "${sizes[@]}"; do
        input "$kind" "$n" "$work/in.txt"
        declare -A best_time=() best_kib=() best_cpu=()
        for ((r = 0; r < runs; r++)); do
            for ((v = 0; v < ${#voks[@]}; v++)); do
                if ! "$build/vok-measure" "$work/m" "${voks[$v]}" -silent "-f=$work/out.vok" \
                        "$work/in.txt" >/dev/null 2>"$work/stderr"; then
                    echo "own-work: ${voks[$v]} failed on $kind $n:" >&2
                    cat "$work/stderr" >&2
                    exit 1
                fi
                read -r t kib _ cpu <"$work/m"
                if [ -z "${best_time[$v]:-}" ] || awk -v a="$t" -v b="${best_time[$v]}" 'BEGIN { exit !(a < b) }'; then
                    best_time[$v]=$t
                fi
                if [ -z "${best_cpu[$v]:-}" ] || awk -v a="$cpu" -v b="${best_cpu[$v]}" 'BEGIN { exit !(a < b) }'; then
                    best_cpu[$v]=$cpu
                fi
                # Peak memory hardly varies between runs; keep the smallest.
                if [ -z "${best_kib[$v]:-}" ] || [ "$kib" -lt "${best_kib[$v]}" ]; then best_kib[$v]=$kib; fi
            done
        done
        for ((v = 0; v < ${#voks[@]}; v++)); do
            echo "$v $kind $n ${best_time[$v]} ${best_kib[$v]} ${best_cpu[$v]}" >>"$work/results"
        done
        rm -f "$work/in.txt" "$work/out.vok"
    done
done

# The table: per binary and kind, both sizes, the growth and the verdicts
# (growth at most x11 for ten times the rules, at most 600 bytes per rule).
awk -v n_voks=${#voks[@]} -v names="${voks[*]}" -v kinds="$kinds" -v small="$small" -v large="$large" \
    -v fs="$facts_small" -v fl="$facts_large" '
    { t[$1, $2, $3] = $4; k[$1, $2, $3] = $5; c[$1, $2, $3] = $6 }
    END {
        split(names, vok, " ")
        print "| vok | input | rules | time (s) | CPU (s) | peak (MiB) | bytes per rule | growth in time | in CPU time | in memory |"
        print "|---|---|---:|---:|---:|---:|---:|---:|---:|---:|"
        for (v = 0; v < n_voks; v++) {
            n_kinds = split(kinds, kind_list, " ")
            for (i = 1; i <= n_kinds; i++) {
                kind = kind_list[i]
                a = kind == "facts" ? fs : small
                b = kind == "facts" ? fl : large
                for (j = 0; j < 2; j++) {
                    n = j ? b : a
                    bytes = k[v, kind, n] * 1024 / n
                    if (bytes > worst[v]) worst[v] = bytes
                    grow_t = grow_c = grow_k = ""
                    if (j) {
                        grow_t = sprintf("x%.1f", t[v, kind, b] / t[v, kind, a])
                        grow_c = sprintf("x%.1f", c[v, kind, b] / c[v, kind, a])
                        grow_k = sprintf("x%.1f", k[v, kind, b] / k[v, kind, a])
                        # Growth is held against the growth of the input.
                        if (t[v, kind, b] / t[v, kind, a] > 1.1 * b / a) slow[v] = slow[v] " " kind
                        if (c[v, kind, b] / c[v, kind, a] > 1.1 * b / a) slowc[v] = slowc[v] " " kind
                    }
                    printf "| %s | %s | %d | %.3f | %.3f | %.1f | %d | %s | %s | %s |\n", vok[v + 1], kind, n,
                        t[v, kind, n], c[v, kind, n], k[v, kind, n] / 1024, bytes, grow_t, grow_c, grow_k
                }
            }
        }
        print ""
        for (v = 0; v < n_voks; v++)
            printf "- %s: growth in time at most x1.1 the growth of the input: %s (in CPU time: %s); at most 600 bytes per input rule (worst %d): %s\n",
                vok[v + 1], slow[v] == "" ? "met" : "NOT met (" substr(slow[v], 2) ")",
                slowc[v] == "" ? "met" : "NOT met (" substr(slowc[v], 2) ")", worst[v],
                worst[v] <= 600 ? "met" : "NOT met"
    }' "$work/results" >"$work/table.md"
cat "$work/table.md"
[ -n "$table_out" ] && cat "$work/table.md" >>"$table_out"
exit 0
