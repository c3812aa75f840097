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

# A random integer in [low, high].
pick() { echo $((RANDOM % ($2 - $1 + 1) + $1)); }

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
