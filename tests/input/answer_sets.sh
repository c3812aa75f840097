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
