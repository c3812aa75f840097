# Helpers shared by the differential scripts against clingo (sourced).

# Each answer set as its atoms sorted on one line, the lines sorted.
from_vok() { sed -n 's/^{\(.*\)}$/\1/p' | sed 's/, /\t/g' | normalize; }
from_clingo() { awk '/^Answer:/ { getline; print }' | tr ' ' '\t' | normalize; }
normalize() {
    while IFS= read -r line; do
        printf '%s\n' "$line" | tr '\t' '\n' | sort | tr '\n' ' '
        echo
    done | sort
}

# Draws made inside $( ) come from a generator whose state is kept in a
# file: bash reseeds $RANDOM in every subshell, so such draws would not
# follow the seed and a failing seed could not be run again. Draws made
# directly in the generating shell may use $RANDOM, which RANDOM=SEED fixes.
seed_draws() { echo "$1" >"$work/draws"; }

# A random integer in [low, high].
pick() {
    local state
    read -r state <"$work/draws"
    state=$(((state * 1103515245 + 12345) % 2147483648))
    echo "$state" >"$work/draws"
    echo $(((state >> 16) % ($2 - $1 + 1) + $1))
}

# One of the arguments, at random.
one_of() {
    local choices=("$@")
    echo "${choices[$(pick 0 $((${#choices[@]} - 1)))]}"
}

# compare SEED WHAT EXPECTED ACTUAL: counts a comparison of two answer-set
# files and prints a difference with the programs it came from, the files
# named in the array inputs.
cases=0 failed=0 nonempty=0
compare() {
    cases=$((cases + 1))
    [ -s "$3" ] && nonempty=$((nonempty + 1))
    if ! cmp -s "$3" "$4"; then
        failed=$((failed + 1))
        echo "=== seed $1: $2 differ"
        diff "$3" "$4" | head -n 10
        sed 's/^/  | /' "${inputs[@]}"
    fi
}

# against_clingo BUILD FIRST COUNT WORK: for each seed, the program that
# generate SEED writes to WORK/p.lp, answered by vok and by clingo; fails
# when any answer sets differ or vok says anything.
against_clingo() {
    local build=$1 first=$2 count=$3 work=$4 differ=0 seed
    for ((seed = first; seed < first + count; seed++)); do
        generate "$seed"
        "$build/vok" -silent -p="$build/rox-clingo" "$work/p.lp" 2>"$work/vok.err" | from_vok >"$work/vok.out"
        # An empty result is said on standard error; it is not a difference.
        sed -i '/^vok: the update sequence has no answer set$/d' "$work/vok.err"
        # Without equivalence preprocessing: clingo 5.4's, on a positive
        # loop through a conditional literal (r(2) :- b.  b :- q(X) : r(X).
        # beside a choice of r/1), prints answer sets that lack b although
        # b's body holds in them.
        clingo -n 0 --eq=0 "$work/p.lp" 2>/dev/null | from_clingo >"$work/clingo.out"
        if ! cmp -s "$work/vok.out" "$work/clingo.out" || [ -s "$work/vok.err" ]; then
            differ=$((differ + 1))
            echo "DIFFER seed $seed"
            cat "$work/p.lp" "$work/vok.err"
            diff "$work/clingo.out" "$work/vok.out" | head -20
        fi
    done
    echo "$count programs, $differ differed"
    [ "$differ" = 0 ]
}
