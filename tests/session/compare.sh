#!/usr/bin/env bash
# Differential test of vok --session against one run of vok per step:
#   compare.sh BUILD GENERATOR COUNT [FIRST_SEED [KINDS]]
# For each seed, GENERATOR (vok-random-session) writes a session: a first-
# order one (rox) and a propositional one (rox and pexa), with #undo. and
# #save "FILE". among its blocks. Each is run as one session in plain mode,
# with -min, with -strict, with a brave and a cautious goal, and with
# --explain (plain and -strict), and with --changes (plain, and -strict
# with --explain), whose changes, applied to the answer sets printed
# before (apply_changes.py), must give the whole answer sets. After every
# step and every undo the
# session must print the same answer sets (as a sorted list), the same
# verdict, or the same rejected rules as vok run on the files and every
# block taken and not taken back so far; the file the last #save wrote
# must answer, run on its own, as the step it saved; the session must end
# with status 1 exactly when it dropped a block or refused a directive. Prints one block per difference and a summary; status 1 if any
# differed. KEEP=1 keeps the work folder.
set -u
build=${1:?usage: compare.sh BUILD GENERATOR COUNT [FIRST_SEED]}
generator=${2:?usage: compare.sh BUILD GENERATOR COUNT [FIRST_SEED]}
count=${3:?usage: compare.sh BUILD GENERATOR COUNT [FIRST_SEED]}
first=${4:-1}
# The kinds of session: fo, prop, agg (first-order with aggregates), choice
# (first-order with choice rules) and propchoice (propositional, with
# choices; rox and pexa).
kinds=${5:-fo prop}
here=$(cd "$(dirname "$0")" && pwd)
work=$(mktemp -d "${TMPDIR:-/tmp}/vok-session.XXXXXX")
[ "${KEEP:-0}" = 1 ] || trap 'rm -rf "$work"' EXIT

sessions=0 steps=0 failed=0 nonempty=0 saves=0

# check SEED NAME FORM MODE...: one session against its runs.
check() {
    local seed=$1 name=$2 form=$3
    shift 3
    local dir=$work/$name solver=$build/rox-clingo
    [ "$form" = pexa ] && solver=$build/pexa-clingo
    local files=()
    [ -f "$dir/files.lp" ] && files=("$dir/files.lp")
    "$build/vok" -silent "$@" -P="$form" -p="$solver" --session "${files[@]}" \
        <"$dir/stdin.txt" >"$dir/session.out" 2>"$dir/session.err"
    local status=$? want=0
    # The runs take the options but --changes, which needs a session.
    local mode=("$@")
    if [ "$*" != "${*/--changes/}" ]; then
        mode=()
        for option in "$@"; do [ "$option" = --changes ] || mode+=("$option"); done
        local pexa=()
        [ "$form" = pexa ] && pexa=(--pexa)
        python3 "$here/apply_changes.py" "${pexa[@]}" <"$dir/session.out" >"$dir/applied.out"
        mv "$dir/applied.out" "$dir/session.out"
    fi
    grep -q '^% dropped' "$dir/session.out" && want=1
    sessions=$((sessions + 1))
    local bad=0
    if [ "$status" != "$want" ]; then
        echo "DIFFER seed $seed $name $form $*: session status $status, want $want"
        head -n 3 "$dir/session.err"
        bad=1
    fi
    # The lines of each step, up to its closing line.
    awk -v dir="$dir" 'BEGIN { n = 0; f = dir "/got.0"; printf "" > f }
        /^% (step|undo: )/ { n++; close(f); f = dir "/got." n; printf "" > f; next }
        /^% (dropped|saved)/ { next }
        { print > f }' "$dir/session.out"
    local total
    total=$(cat "$dir/steps")
    local got_steps
    got_steps=$(grep -cE '^% (step|undo: )' "$dir/session.out")
    if [ "$got_steps" != $((total + 1)) ]; then
        echo "DIFFER seed $seed $name $form $*: $got_steps steps answered, want $((total + 1))"
        head -n 3 "$dir/session.err"
        bad=1
    fi
    for ((n = 0; n <= total && n < got_steps; n++)); do
        local input=() 
        [ -s "$dir/step$n.lp" ] && input=("$dir/step$n.lp")
        "$build/vok" -silent "${mode[@]}" -P="$form" -p="$solver" "${input[@]}" >"$dir/want.raw" 2>/dev/null
        steps=$((steps + 1))
        # An explanation names the place of the rule, which differs between
        # the session's inputs and the one file of the run.
        sed -E 's/ \([^()]*:[0-9]+\) "/ (PLACE) "/' "$dir/want.raw" | sort >"$dir/want"
        sed -E 's/ \([^()]*:[0-9]+\) "/ (PLACE) "/' "$dir/got.$n" | sort >"$dir/got"
        if [ "$*" != "${*#-F}" ]; then
            head -n 1 "$dir/want.raw" >"$dir/want"
            head -n 1 "$dir/got.$n" >"$dir/got"
        fi
        [ -s "$dir/want" ] && nonempty=$((nonempty + 1))
        if ! cmp -s "$dir/want" "$dir/got"; then
            echo "DIFFER seed $seed $name $form $*: step $n"
            diff "$dir/want" "$dir/got" | head -n 6
            bad=1
            break
        fi
        # The saved sequence, run on its own, answers as its step.
        if [ -f "$dir/saved_step" ] && [ "$n" = "$(cat "$dir/saved_step")" ]; then
            "$build/vok" -silent "${mode[@]}" -P="$form" -p="$solver" "$dir/saved.lp" >"$dir/saved.raw" 2>/dev/null
            saves=$((saves + 1))
            sed -E 's/ \([^()]*:[0-9]+\) "/ (PLACE) "/' "$dir/saved.raw" | sort >"$dir/saved"
            [ "$*" != "${*#-F}" ] && head -n 1 "$dir/saved.raw" >"$dir/saved"
            if ! cmp -s "$dir/want" "$dir/saved"; then
                echo "DIFFER seed $seed $name $form $*: the file saved at step $n"
                diff "$dir/want" "$dir/saved" | head -n 6
                bad=1
                break
            fi
        fi
    done
    if [ "$bad" = 1 ]; then
        failed=$((failed + 1))
        mkdir -p "$work/failed-$seed-$name"
        cp "$dir"/*.lp "$dir"/*step* "$dir/stdin.txt" "$work/failed-$seed-$name/" 2>/dev/null
    fi
}

for ((seed = first; seed < first + count; seed++)); do
    for name in $kinds; do
        rm -rf "$work/$name"
        mkdir -p "$work/$name"
        if [ "$name" = fo ]; then "$generator" "$seed" "$work/$name" || exit 2
        else "$generator" "$seed" "$work/$name" "$name" || exit 2; fi
        forms=(rox)
        [ "$name" = prop ] || [ "$name" = propchoice ] && forms=(rox pexa)
        for form in "${forms[@]}"; do
            check "$seed" "$name" "$form"
            check "$seed" "$name" "$form" -min
            check "$seed" "$name" "$form" -strict
            check "$seed" "$name" "$form" -FB=b
            check "$seed" "$name" "$form" -FC=a
            check "$seed" "$name" "$form" --explain
            check "$seed" "$name" "$form" -strict --explain
            check "$seed" "$name" "$form" --changes
            check "$seed" "$name" "$form" -strict --explain --changes
        done
    done
done
echo "seeds $first..$((first + count - 1)): $sessions sessions, $steps steps, $failed differ;" \
     "$nonempty steps with answer sets, $saves saved files"
[ "$failed" = 0 ]
