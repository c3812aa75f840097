#!/usr/bin/env bash
# Checks that nothing a program runs before main asks for memory: a request
# that failed there would end the program before any handler exists. The
# static initializers of each program (the _GLOBAL__sub_I_ functions) and
# every function of the program they call are read from the disassembly;
# the calls that leave the program must be to the functions below, which
# ask for no memory of the program's:
#   std::ios_base::Init::Init   the standard streams, made in place
#   __cxa_atexit                registers a destructor; past the C library's
#                               first 32 it takes a block for more, and
#                               should that fail, only the registration is
#                               lost (tests/faults/sweep.sh shows the run
#                               unchanged)
#   std::chrono::steady_clock::now
#   tests/check_static_init.sh PROGRAM...
set -u
[ $# -gt 0 ] || { echo "usage: check_static_init.sh PROGRAM..." >&2; exit 2; }
allowed='^(_ZNSt8ios_base4InitC1Ev|__cxa_atexit|_ZNSt6chrono3_V212steady_clock3nowEv)$'
problems=0
for program in "$@"; do
    # "caller target" for every call and jump to another function; a
    # target outside the program is named with "@plt".
    edges=$(objdump -d --no-show-raw-insn "$program" | awk '
        /^[0-9a-f]+ <.*>:$/ { f = $2; gsub(/[<>:]/, "", f); next }
        f != "" && /[ \t](call|jmp)[a-z]* +[0-9a-f]+ <[^>+]*>$/ {
            t = $NF; gsub(/[<>]/, "", t)
            if (t != f) print f, t
        }')
    mapfile -t todo < <(nm "$program" | awk '$3 ~ /^_GLOBAL__sub_I_/ { print $3 }')
    declare -A seen=()
    while [ ${#todo[@]} -gt 0 ]; do
        f=${todo[0]}
        todo=("${todo[@]:1}")
        [ -n "${seen[$f]:-}" ] && continue
        seen[$f]=1
        while read -r _ target; do
            [ -n "$target" ] || continue
            if [[ $target == *@plt ]]; then
                if ! [[ ${target%@plt} =~ $allowed ]]; then
                    echo "PROBLEM ${program##*/}: $f, run before main, calls ${target%@plt}" \
                        "($(echo "${target%@plt}" | c++filt))"
                    problems=$((problems + 1))
                fi
            else
                todo+=("$target")
            fi
        done < <(awk -v f="$f" '$1 == f' <<<"$edges")
    done
    unset seen
    echo "${program##*/}: $(nm "$program" | grep -c '_GLOBAL__sub_I_') static initializers checked"
done
exit $((problems > 100 ? 100 : problems))
