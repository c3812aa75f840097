#!/usr/bin/env bash
# Goals with variables on random ground update sequences, against all
# answer sets:
#   check_goals.sh BUILD [CASES]
# For each seed a sequence of 2 to 4 programs over p/1 and r/2, whose terms
# are c1, c2, 3 and the quoted string "x, (y)", is solved with -o=-n=0 as
# one JSON document (every answer set), in plain, -min, -strict and
# --one-run mode. The instances of each goal are the ground atoms over those
# terms that it matches (enumerated here, not matched); vok's brave
# instances must be those found in some answer set, its cautious ones those
# found in all (cautious holds without instances when there is no answer
# set); the JSON document must list the same instances, each in its
# witness, every witness an answer set. A session that takes the programs
# one by one must answer every step as the reference of the programs so
# far. Prints one block per difference; status 1 if any differed.
set -u
build=$1
cases=${2:-12}
vok=$build/vok rox=$build/rox-clingo
command -v jq >/dev/null || { echo "jq is needed for this check"; exit 1; }
work=$(mktemp -d "${TMPDIR:-/tmp}/vok-goals.XXXXXX")
[ "${KEEP:-0}" = 1 ] || trap 'rm -rf "$work"' EXIT

# The goals: the goal, then its sign and name and its two arguments (a
# variable, "_" or a term; the second empty for p/1).
goals=('p(X)|p|X|' '-p(X)|-p|X|' 'r(X, Y)|r|X|Y' 'r(X,X)|r|X|X' 'r(_, c1)|r|_|c1'
       'r(X, "x, (y)")|r|X|"x, (y)"' '-r( X , _ )|-r|X|_' 'r(3,Y)|r|3|Y')
terms=(c1 c2 3 '"x, (y)"')

# instances NAME A1 A2: every ground atom over the terms that the goal
# matches, one a line.
instances() {
  local name=$1 a1=$2 a2=$3 t u
  for t in "${terms[@]}"; do
    case $a1 in [A-Z_]*) ;; *) [ "$t" = "$a1" ] || continue ;; esac
    if [ -z "$a2" ]; then echo "$name($t)"; continue; fi
    for u in "${terms[@]}"; do
      case $a2 in
        "$a1") [ "$u" = "$t" ] || continue ;;
        [A-Z_]*) ;;
        *) [ "$u" = "$a2" ] || continue ;;
      esac
      echo "$name($t,$u)"
    done
  done
}

# generate SEED: the sequence of the seed, in $work (random_sequences.sh).
# shellcheck source=random_sequences.sh
source "$(dirname "$0")/random_sequences.sh"

# reference MODE FILES...: every answer set, one a line, atoms joined by tabs.
reference() {
  local mode=$1
  shift
  "$vok" -silent --json -o=-n=0 $mode -p="$rox" "$@" 2>/dev/null |
    jq -r '.Call[0].Witnesses[] | .Value | join("\t")'
}

# expected KIND QUERY ANSWERS: the verdict and the instances that all answer
# sets (ANSWERS, as reference writes them) give the goal of QUERY.
expected() {
  local goal name a1 a2
  IFS='|' read -r goal name a1 a2 <<<"$2"
  instances "$name" "$a1" "$a2" | LC_ALL=C sort >"$work/all"
  awk -F '\t' -v kind="$1" 'NR == FNR { want[$0] = 1; next }
    { sets++; split("", here); for (i = 1; i <= NF; i++) if ($i in want) here[$i] = 1
      for (a in here) count[a]++ }
    END {
      for (a in want) if (kind == "brave" ? count[a] > 0 : count[a] == sets && sets) print a
    }' "$work/all" "$3" | LC_ALL=C sort >"$work/inst"
  local holds=false
  [ -s "$work/inst" ] && holds=true
  [ "$1" = cautious ] && [ ! -s "$3" ] && holds=true
  echo "$holds."
  cat "$work/inst"
}

fail=0 checked=0 held=0 split=0
differ() { echo "DIFFER seed $seed $*"; fail=1; }

# check MODE KIND QUERY ANSWERS FILES...: one goal against the reference.
check() {
  local mode=$1 kind=$2 query=$3 answers=$4 flag=-FB goal=${3%%|*}
  shift 4
  [ "$kind" = cautious ] && flag=-FC
  expected "$kind" "$query" "$answers" >"$work/want"
  "$vok" -silent $mode "$flag=$goal" -p="$rox" "$@" 2>"$work/err" | grep -v '^{' >"$work/got"
  checked=$((checked + 1))
  [ "$(wc -l <"$work/want")" -gt 1 ] && held=$((held + 1))
  # Brave and cautious instances that differ: the answer sets differ.
  [ "$kind" = cautious ] && ! cmp -s <(expected brave "$query" "$answers") "$work/want" &&
    split=$((split + 1))
  if ! cmp -s "$work/want" "$work/got"; then
    differ "$mode $flag=$goal: instances"; diff "$work/want" "$work/got" | head -n 6; return
  fi
  [ "$kind" = brave ] || return
  "$vok" -silent --json $mode "$flag=$goal" -p="$rox" "$@" >"$work/doc.json" 2>/dev/null
  jq -r '.Goal.Instances[].Atom' "$work/doc.json" >"$work/listed"
  if ! tail -n +2 "$work/want" | cmp -s - "$work/listed"; then
    differ "$mode $flag=$goal: JSON instances"; return
  fi
  # Each instance is in its witness, and each witness is an answer set.
  if ! jq -e --rawfile all "$answers" '.Goal as $g
       | ($all | split("\n") | map(select(length > 0))) as $sets
       | all($g.Instances[]; .Atom as $a | $g.Witnesses[.Witness].Value | index([$a]))
         and all($g.Witnesses[]; (.Value | join("\t")) as $w | $sets | index([$w]))' \
       "$work/doc.json" >/dev/null; then
    differ "$mode $flag=$goal: witnesses"
  fi
}

# check_session KIND QUERY: a session of the programs one by one, each step
# answered as the programs so far.
check_session() {
  local kind=$1 query=$2 flag=-FB files=("$work"/prog*.lp) goal=${2%%|*}
  [ "$kind" = cautious ] && flag=-FC
  cat "${files[@]:1}" | "$vok" -silent --session "$flag=$goal" -p="$rox" "${files[0]}" \
    2>/dev/null | grep -v '^{' >"$work/session.out"
  local step
  for ((step = 0; step < ${#files[@]}; step++)); do
    reference "" "${files[@]:0:step+1}" >"$work/answers.$step"
    expected "$kind" "$query" "$work/answers.$step" >"$work/want"
    awk -v n="$step" '/^% step / { s++; next } s == n' "$work/session.out" >"$work/got"
    checked=$((checked + 1))
    if ! cmp -s "$work/want" "$work/got"; then
      differ "--session $flag=$goal: step $step"; diff "$work/want" "$work/got" | head -n 6
    fi
  done
}

for seed in $(seq 1 "$cases"); do
  generate "$seed"
  # Two goals per seed, in turn.
  picked=("${goals[seed % ${#goals[@]}]}" "${goals[(seed * 3 + 1) % ${#goals[@]}]}")
  for mode in "" -min -strict "-min --one-run" "-strict --one-run"; do
    reference "$mode" "$work/seq.lp" >"$work/answers"
    for query in "${picked[@]}"; do
      check "$mode" brave "$query" "$work/answers" "$work/seq.lp"
      check "$mode" cautious "$query" "$work/answers" "$work/seq.lp"
    done
  done
  check_session brave "${picked[0]}"
  check_session cautious "${picked[1]}"
  [ "$fail" = 0 ] || { cat "$work/seq.lp"; break; }
done
echo "$checked verdicts checked, $held with instances, $split where brave and cautious differ"
exit $fail
