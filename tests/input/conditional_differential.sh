#!/usr/bin/env bash
# Differential test of conditional literals against clingo:
#   conditional_differential.sh BUILD COUNT [FIRST_SEED]
# For each seed a random program with conditional literals in rule bodies
# and constraints (negated, with comparisons and negation in the
# condition, global variables, several in one body joined by ";", and
# positive loops through the atoms of their conditions and heads) must
# have vok's answer sets, as one program without updates, and clingo's on
# the same text. Prints one block per difference and a summary; status 1
# if any differed. KEEP=1 keeps the work folder.
set -u
build=${1:?usage: conditional_differential.sh BUILD COUNT [FIRST_SEED]}
count=${2:?usage: conditional_differential.sh BUILD COUNT [FIRST_SEED]}
first=${3:-1}
command -v clingo >/dev/null || { echo "clingo not found"; exit 77; }
work=$(mktemp -d "${TMPDIR:-/tmp}/vok-conditional.XXXXXX")
[ "${KEEP:-0}" = 1 ] || trap 'rm -rf "$work"' EXIT

source "$(dirname "${BASH_SOURCE[0]}")/answer_sets.sh"

# A conditional literal over X, a literal q(X) or not q(X) under a
# condition on r(X).
conditional() {
    local head cond
    head=$(one_of 'q(X)' 'not q(X)' 'q(X)' 's(X,Y)')
    cond=$(one_of 'r(X)' 'r(X), X > 1' 'r(X), not t(X)' 'd(X), not not r(X)' 'r(X), s(X,Y)')
    [ "$head" = 's(X,Y)' ] && cond="r(X), d(Y)"
    echo "$head : $cond"
}

generate() {
    RANDOM=$1
    seed_draws "$1"
    local f=$work/p.lp n=$(pick 2 3) i
    : >"$f"
    for ((i = 1; i <= n; i++)); do echo "d($i)." >>"$f"; done
    echo "{ r(X) } :- d(X)." >>"$f"
    echo "{ q(X) } :- d(X), X != $(pick 1 2)." >>"$f"
    echo "{ t(X) : d(X) } 1." >>"$f"
    [ $((RANDOM % 2)) = 0 ] && echo "s(X,X) :- q(X), r(X)." >>"$f"
    # bodies: alone, after other literals, before them (joined by ";"),
    # two in one body, with a global variable
    case $((RANDOM % 5)) in
        0) echo "a :- $(conditional)." ;;
        1) echo "a :- e; $(conditional)." ;;
        2) echo "a :- $(conditional); not e." ;;
        3) echo "a :- $(conditional); $(conditional)." ;;
        *) echo "a(Y) :- d(Y), $(conditional | sed 's/(X,Y)/(X,Z)/g; s/d(Z)/d(Z), Z != Y/; s/X > 1/X > Y/')." ;;
    esac >>"$f"
    [ $((RANDOM % 2)) = 0 ] && echo "{ e }." >>"$f"
    # positive loops through the atoms of a condition and of the literal
    case $((RANDOM % 4)) in
        0) echo "q(1) :- b. b :- q(X) : r(X)." ;;
        1) echo "r(2) :- b. b :- q(X) : r(X); d(2)." ;;
        2) echo "q(X) :- d(X), c. c :- q(X) : d(X)." ;;
        *) echo "b :- q(X) : r(X), X < 3." ;;
    esac >>"$f"
    [ $((RANDOM % 3)) = 0 ] && echo ":- $(conditional); not e." >>"$f"
    [ $((RANDOM % 3)) = 0 ] && echo ":- r(X) : d(X)." >>"$f"
    return 0
}

against_clingo "$build" "$first" "$count" "$work"
