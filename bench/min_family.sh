#!/usr/bin/env bash
# Writes an update sequence whose answer sets (the candidates of -min and
# -strict) number 2^n or 3^n:
#   min_family.sh KIND n
# KIND
#   2few   n independent choices, each between rejecting a fact of program 0
#          and rejecting nothing: 2^n candidates, one minimal
#   2all   each choice rejects one of two facts of program 0: 2^n
#          candidates, all minimal and strictly minimal
#   2mixed each choice rejects a fact of program 0 or one of program 1:
#          2^n candidates, all minimal, one strictly minimal
#   3few   each choice among three rejects nothing, one fact or two facts
#          of program 0: 3^n candidates, one minimal
#   3all   each choice among three rejects one of three facts of program
#          0: 3^n candidates, all minimal
set -eu
kind=${1:?usage: min_family.sh KIND n}
n=${2:?usage: min_family.sh KIND n}
facts() { # facts NAME...: one block of facts NAME_i for every i
    echo "{"
    for ((i = 1; i <= n; i++)); do
        for name in "$@"; do printf '%s%d. ' "$name" "$i"; done
        echo
    done
    echo "}"
}
choice2() { # choice2 X Y: X_i or Y_i, each written as a literal
    echo "{"
    for ((i = 1; i <= n; i++)); do
        echo "$1$i :- not $2$i. $2$i :- not $1$i."
    done
    echo "}"
}
choice3() { # choice3 EXTRA: x_i, y_i or z_i, then EXTRA with i for I
    echo "{"
    for ((i = 1; i <= n; i++)); do
        echo "x$i :- not y$i, not z$i. y$i :- not x$i, not z$i. z$i :- not x$i, not y$i."
        echo "${1//I/$i}"
    done
    echo "}"
}
case $kind in
    2few) facts a; choice2 -a b ;;
    2all) facts a c; choice2 -a -c ;;
    2mixed) facts a; facts c; choice2 -a -c ;;
    3few) facts a c; choice3 "-aI :- yI. -aI :- zI. -cI :- zI." ;;
    3all) facts a c e; choice3 "-aI :- xI. -cI :- yI. -eI :- zI." ;;
    *) echo "min_family.sh: unknown KIND $kind" >&2; exit 2 ;;
esac
