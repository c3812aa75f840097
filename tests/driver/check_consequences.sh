#!/usr/bin/env bash
# --enum-mode=brave and cautious on random ground update sequences, against
# all answer sets:
#   check_consequences.sh BUILD [CASES]
# For each seed a sequence (random_sequences.sh) is solved with -o=-n=0 as
# one JSON document (every answer set), in plain, -min, -strict and
# --one-run mode, with rox-clingo and, for a propositional copy of the
# sequence, pexa-clingo. The brave consequences must be the union of the
# answer sets, the cautious ones their intersection, and no set at all when
# there is no answer set; the text line must be the JSON document's set,
# followed by "Consequences: [N;N]", and "Models" must count N. Prints one
# block per difference; status 1 if any differed.
set -u
build=$1
cases=${2:-12}
vok=$build/vok rox=$build/rox-clingo pexa=$build/pexa-clingo
command -v jq >/dev/null || { echo "jq is needed for this check"; exit 1; }
work=$(mktemp -d "${TMPDIR:-/tmp}/vok-consequences.XXXXXX")
[ "${KEEP:-0}" = 1 ] || trap 'rm -rf "$work"' EXIT
# shellcheck source=random_sequences.sh
source "$(dirname "$0")/random_sequences.sh"

fail=0 checked=0 unsat=0 differing=0
differ() { echo "DIFFER seed $seed $*"; fail=1; }

# expected KIND: the union (brave) or intersection (cautious) of the answer
# sets of $work/all.json as a sorted JSON list, or null without one.
expected() {
  jq -cS --arg kind "$1" '[.Call[0].Witnesses[].Value] as $sets
    | if ($sets | length) == 0 then null
      elif $kind == "brave" then ($sets | add | unique)
      else (reduce $sets[1:][] as $s ($sets[0]; [.[] | select(. as $a | $s | index([$a]))])
            | unique) end' "$work/all.json"
}

# check PROGRAM FILE MODE KIND: one run of --enum-mode against the reference.
check() {
  local program=$1 file=$2 mode=$3 kind=$4 type=
  [ "$program" = "$pexa" ] && type=-P=pexa
  checked=$((checked + 1))
  "$vok" -silent --json $type -o=-n=0 $mode -p="$program" "$file" >"$work/all.json" 2>/dev/null
  expected "$kind" >"$work/want"
  [ "$(cat "$work/want")" = null ] && unsat=$((unsat + 1))
  [ "$kind" = cautious ] && [ "$(expected brave)" != "$(cat "$work/want")" ] &&
    differing=$((differing + 1))
  "$vok" -silent --json $type $mode "-e=$kind" -p="$program" "$file" >"$work/doc.json" 2>/dev/null
  jq -cS '.Call[0].Witnesses as $w | if ($w | length) == 0 then null
          else ($w[0].Value | sort) end' "$work/doc.json" >"$work/got"
  if ! cmp -s "$work/want" "$work/got"; then
    differ "$type $mode -e=$kind"; diff "$work/want" "$work/got" | head -n 6; return
  fi
  if ! jq -e '(.Call[0].Witnesses | length) <= 1 and
        (.Models.Consequences.True // 0) == ([.Call[0].Witnesses[].Value[]] | length)' \
       "$work/doc.json" >/dev/null; then
    differ "$type $mode -e=$kind: JSON counts"
  fi
  # The text form: the same set, and clingo's line after it.
  "$vok" -silent $type $mode --enum-mode "$kind" -p="$program" "$file" >"$work/text" 2>/dev/null
  jq -r '.Call[0].Witnesses[] | .Value | "{" + join(", ") + "}",
         "Consequences: [\(length);\(length)]"' "$work/doc.json" >"$work/want.text"
  cmp -s "$work/want.text" "$work/text" || differ "$type $mode -e=$kind: text"
}

for seed in $(seq 1 "$cases"); do
  generate "$seed"
  # The same sequence without arguments, for pexa-clingo.
  sed -e 's/"x, (y)"/xy/g' -e 's/(\([a-z0-9]*\), \([a-z0-9]*\))/_\1_\2/g' \
      -e 's/(\([a-z0-9]*\))/_\1/g' "$work/seq.lp" >"$work/flat.lp"
  for mode in "" -min -strict "-min --one-run" "-strict --one-run"; do
    for kind in brave cautious; do
      check "$rox" "$work/seq.lp" "$mode" "$kind"
      check "$pexa" "$work/flat.lp" "$mode" "$kind"
    done
  done
  [ "$fail" = 0 ] || { cat "$work/seq.lp"; break; }
done
echo "$checked consequence sets checked, $unsat without an answer set," \
     "$differing where brave and cautious differ"
exit $fail
