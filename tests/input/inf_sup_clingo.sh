#!/usr/bin/env bash
# #inf and #sup against clingo, on a table of hand-written programs:
#   inf_sup_clingo.sh BUILD
# Each program must have clingo's answer sets on the same text: #inf below
# every term and #sup above, in facts, comparisons, function terms and
# aggregate guards (on either side), and arithmetic on them undefined (the
# statement left out, as clingo leaves it out). An update that rejects a
# fact over #inf must answer alike as a run, with -min and as a session.
# Prints one block per difference and a summary; status 1 if any differed.
set -u
build=${1:?usage: inf_sup_clingo.sh BUILD}
command -v clingo >/dev/null || { echo "clingo not found"; exit 77; }
work=$(mktemp -d "${TMPDIR:-/tmp}/vok-infsup.XXXXXX")
trap 'rm -rf "$work"' EXIT
source "$(dirname "${BASH_SOURCE[0]}")/answer_sets.sh"

programs=(
    'p(#inf). p(#sup). p(1). p(a). p("s"). p(f(1)). lt(X,Y) :- p(X), p(Y), X < Y.'
    'p(#inf). p(#sup). p(-5). p(z). in(X) :- p(X), X > #inf, X < #sup. eq(X) :- p(X), X == #inf.'
    'p(#inf+1). q(-#sup). r(|#inf|). s(#sup*2). t(1). u :- t(X), X+#inf > 0.'
    'v(#inf). v(3). v(a). c :- #inf < #count{ X : v(X) }. d :- #count{ X : v(X) } < #sup.'
    'v(#sup). v(3). m(M) :- M = #max{ X : v(X) }. n(M) :- M = #min{ X : v(X) }.'
    'q(f(#inf), g(#sup)). r(X) :- q(f(X), _). s(Y) :- q(_, g(Y)), Y >= 1000000.'
    'e(#inf;#sup). a :- e(X), not b(X). b(X) :- e(X), not a. { c(X) : e(X) } 1.'
    '#const lo = #inf. p(lo). hi(#sup). q :- p(X), hi(Y), X < Y.'
)
inputs=("$work/p.lp")
for program in "${programs[@]}"; do
    printf '%s\n' "$program" >"$work/p.lp"
    "$build/vok" -silent -p="$build/rox-clingo" "$work/p.lp" 2>"$work/vok.err" | from_vok >"$work/vok.out"
    clingo "$work/p.lp" 0 2>/dev/null | from_clingo >"$work/clingo.out"
    compare "table" "answer sets of vok and clingo" "$work/clingo.out" "$work/vok.out"
    # vok says only what clingo says: an operation it finds undefined.
    if grep -v '^.*: info: operation undefined: ' "$work/vok.err" | grep -q .; then
        failed=$((failed + 1))
        echo "=== vok said more than clingo on: $program"
        head -n 3 "$work/vok.err"
    fi
done

# A newer program rejects the fact over #inf; the rules over it follow.
printf '{ v(#inf). v(2). low(X) :- v(X), X < 1. }\n' >"$work/files.lp"
printf '{ -v(#inf). w(#sup). }\n' >"$work/block.txt"
cat "$work/files.lp" "$work/block.txt" >"$work/all.lp"
inputs=("$work/all.lp")
for mode in "" -min; do
    "$build/vok" -silent $mode -p="$build/rox-clingo" "$work/all.lp" | from_vok >"$work/run.out"
    echo '{-v(#inf), v(2), w(#sup)}' | from_vok >"$work/want.out"
    compare "update $mode" "a run and the expected answer set" "$work/want.out" "$work/run.out"
    "$build/vok" -silent $mode -p="$build/rox-clingo" --session "$work/files.lp" \
        <"$work/block.txt" | sed -n '/^% step 0/,$p' | from_vok >"$work/session.out"
    compare "session $mode" "a session's last step and the run" "$work/run.out" "$work/session.out"
done
echo "#inf and #sup: $cases comparisons, $failed differ; $nonempty with answer sets"
[ "$failed" = 0 ]
