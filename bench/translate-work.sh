#!/usr/bin/env bash
# rox-clingo's own work (read the program vok wrote, translate it, print it
# with --text) on generated sequences of 10^5 and 10^6 input rules: CPU
# time, peak memory, bytes per rule and the growth between the two sizes.
#
#   bash bench/translate-work.sh BUILD [ROX...]
#
# BUILD holds vok, vok-generate and vok-measure; the ROX arguments are the
# rox-clingo binaries to compare (default BUILD/rox-clingo), run in turns,
# best of VOK_TRANSLATE_RUNS (default 3). Inputs as bench/own-work.sh:
# sparse (P = rules/500) and dense (P = rules/50).
set -u
build=${1:?usage: bench/translate-work.sh BUILD [ROX...]}
build=$(cd "$build" && pwd) || exit 2
shift
roxes=("$@")
[ ${#roxes[@]} -eq 0 ] && roxes=("$build/rox-clingo")
runs=${VOK_TRANSLATE_RUNS:-3}
for tool in vok vok-generate vok-measure; do
    [ -x "$build/$tool" ] || { echo "translate-work: $build/$tool is missing" >&2; exit 2; }
done
work=$(mktemp -d "${TMPDIR:-/tmp}/vok-translate.XXXXXX")
trap 'rm -rf "$work"' EXIT

echo "| rox-clingo | input | vok rules | rules read | CPU (s) | peak (MiB) | bytes per rule read | growth in CPU time | in memory |"
echo "|---|---|---:|---:|---:|---:|---:|---:|---:|"
for kind in sparse dense; do
    per=500
    [ "$kind" = dense ] && per=50
    for n in 100000 1000000; do
        "$build/vok-generate" 10 $((n / 10)) $((n / per)) >"$work/in.txt"
        "$build/vok" -silent "-f=$work/$kind$n.vok" "$work/in.txt" || exit 1
    done
    for ((v = 0; v < ${#roxes[@]}; v++)); do
        declare -A cpu=() kib=()
        for ((r = 0; r < runs; r++)); do
            for n in 100000 1000000; do
                "$build/vok-measure" "$work/m" "${roxes[$v]}" --text -N=10 "$work/$kind$n.vok" >/dev/null || exit 1
                read -r _ k _ c <"$work/m"
                if [ -z "${cpu[$n]:-}" ] || awk -v a="$c" -v b="${cpu[$n]}" 'BEGIN { exit !(a < b) }'; then cpu[$n]=$c; fi
                if [ -z "${kib[$n]:-}" ] || [ "$k" -lt "${kib[$n]}" ]; then kib[$n]=$k; fi
            done
        done
        for n in 100000 1000000; do
            read_rules=$(wc -l <"$work/$kind$n.vok")
            growth_c="" growth_k=""
            if [ "$n" = 1000000 ]; then
                growth_c=$(awk -v a="${cpu[1000000]}" -v b="${cpu[100000]}" 'BEGIN { printf "x%.1f", a / b }')
                growth_k=$(awk -v a="${kib[1000000]}" -v b="${kib[100000]}" 'BEGIN { printf "x%.1f", a / b }')
            fi
            printf '| %s | %s | %d | %d | %.3f | %.1f | %d | %s | %s |\n' "${roxes[$v]}" "$kind" "$n" \
                "$read_rules" "${cpu[$n]}" "$(awk -v k="${kib[$n]}" 'BEGIN { print k / 1024 }')" \
                "$(awk -v k="${kib[$n]}" -v r="$read_rules" 'BEGIN { printf "%d", k * 1024 / r }')" \
                "$growth_c" "$growth_k"
        done
    done
done
