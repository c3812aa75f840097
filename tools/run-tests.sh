#!/usr/bin/env bash
# make test: the build, the plain suite, the suite under the sanitizers and
# a short run of every fuzz target, each under a heading of its own, then
# one line saying how it ended and how long each phase took.
set -u
make=${MAKE:-make}
phases=("build:build" "plain suite:unit-test" "sanitizer suite:sanitize" "fuzz:fuzz")
start=$SECONDS
done_phases=""
for phase in "${phases[@]}"; do
    name=${phase%%:*} target=${phase#*:}
    echo
    echo "==== make test: $name (make $target)"
    began=$SECONDS
    if ! $make --no-print-directory "$target"; then
        echo
        echo "make test: FAILED in the $name phase after $((SECONDS - start)) s${done_phases:+ ($done_phases)}"
        exit 1
    fi
    done_phases+="${done_phases:+, }$name $((SECONDS - began)) s"
done
echo
echo "make test: all passed in $((SECONDS - start)) s ($done_phases)"
