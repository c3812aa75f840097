#!/usr/bin/env bash
# Differential test of choice rules and body aggregates against clingo:
#   choice_differential.sh BUILD COUNT [FIRST_SEED]
# For each seed a random program with choices (bounds on either side or
# both, conditions with negation, a body) and aggregates of every function
# (guards on either side, assignments, negation) must have vok's answer
# sets, as one program without updates, and clingo's on the same text.
# Prints one block per difference and a summary; status 1 if any differed.
# KEEP=1 keeps the work folder.
set -u
build=${1:?usage: choice_differential.sh BUILD COUNT [FIRST_SEED]}
count=${2:?usage: choice_differential.sh BUILD COUNT [FIRST_SEED]}
first=${3:-1}
command -v clingo >/dev/null || { echo "clingo not found"; exit 77; }
work=$(mktemp -d "${TMPDIR:-/tmp}/vok-choice.XXXXXX")
[ "${KEEP:-0}" = 1 ] || trap 'rm -rf "$work"' EXIT

source "$(dirname "${BASH_SOURCE[0]}")/answer_sets.sh"

# A guard "op term" for the right side, or "term op" for the left.
right_guard() { echo " $(one_of '<' '<=' '>' '>=' '=' '!=') $(pick -2 4)"; }
left_guard() { echo "$(pick -2 4) $(one_of '<' '<=' '>' '>=' '=' '!=') "; }

generate() {
    RANDOM=$1
    seed_draws "$1"
    local f=$work/p.lp n=$(pick 2 4) i low up fn guard
    : >"$f"
    for ((i = 1; i <= n; i++)); do echo "d($i, $(pick -3 5))." >>"$f"; done
    [ $((RANDOM % 2)) = 0 ] && echo "e." >>"$f"
    # choices: bounds on neither, one or both sides, with a condition
    low=$(pick 0 2); up=$((low + $(pick 0 2)))
    case $((RANDOM % 4)) in
        0) echo "{ c(X) : d(X, _) }." >>"$f" ;;
        1) echo "$low { c(X) : d(X, W), W > $(pick -3 2) }." >>"$f" ;;
        2) echo "{ c(X) : d(X, _), not e } $up." >>"$f" ;;
        *) echo "$low { c(X) : d(X, _); f } $up :- $(one_of e 'not e' 'd(1, _)')." >>"$f" ;;
    esac
    [ $((RANDOM % 2)) = 0 ] && echo "{ g(X) } :- c(X), X > 1." >>"$f"
    # aggregates of every function
    for fn in '#count' '#sum' '#sum+' '#min' '#max'; do
        case $((RANDOM % 5)) in
            4) echo "t${#fn}(V) :- V = $fn{ W*2-X, f(X) : c(X), d(X, W), not not g(X) }." ;;
            0) guard="$(right_guard)"; echo "a${#fn}(${RANDOM:0:1}) :- $fn{ W, X : c(X), d(X, W) }$guard." ;;
            1) guard="$(left_guard)"; echo "b${#fn} :- ${guard}$fn{ W, X : c(X), d(X, W) }." ;;
            2) echo "v${#fn}(V) :- V = $fn{ W, X : c(X), d(X, W); 1, f : f }." ;;
            *) echo "w${#fn} :- not $fn{ X : c(X) }$(right_guard), e." ;;
        esac >>"$f"
    done
    [ $((RANDOM % 3)) = 0 ] && echo ":- #count{ X : c(X) } > $(pick 1 3)." >>"$f"
    [ $((RANDOM % 3)) = 0 ] && echo "h(X) :- d(X, _), $(pick 0 2) <= #count{ Y : c(Y), Y != X } <= $(pick 1 3)." >>"$f"
    [ $((RANDOM % 3)) = 0 ] && echo "-c(2) :- g(3)." >>"$f"
    # function terms and arithmetic in a choice's elements and its bound
    [ $((RANDOM % 3)) = 0 ] && echo "{ k(X*2, f(X)) : c(X), not not e } 1." >>"$f"
    return 0
}

against_clingo "$build" "$first" "$count" "$work"
