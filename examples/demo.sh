#!/usr/bin/env bash
# Runs one bundled update scenario end to end with the bundled solver.
set -eu
build=${1:-build}
example=examples/tv.lp
echo "\$ $build/vok -p=$build/rox-clingo $example"
"$build/vok" -p="$build/rox-clingo" "$example"
