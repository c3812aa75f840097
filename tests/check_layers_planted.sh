#!/usr/bin/env bash
# Checks that check_layers.sh catches includes that point the wrong way: in
# a copy of the tree it plants one of each kind (a room including a room
# above it, in the evaluation program and in the driver, common/ including
# a stage, each program including the other, a room's unit test including
# a room above its own) and expects a failure
# that names every one of them and nothing else.
#   tests/check_layers_planted.sh SOURCE-TREE
set -u
tree=${1:?usage: check_layers_planted.sh SOURCE-TREE}
copy=$(mktemp -d "${TMPDIR:-/tmp}/vok-layers.XXXXXX") || exit 2
trap 'rm -rf "$copy"' EXIT
(cd "$tree" && tar cf - --exclude=tests/e2e --exclude=tests/fuzz \
    common base representation input rewriting driver evaluation tests) | (cd "$copy" && tar xf -) ||
    exit 2

plant() { echo "#include \"$2\"" >>"$copy/$1"; }
plant evaluation/program/syntax.hpp evaluation/solve/solver.hpp
plant common/chunks.cpp base/exits.hpp
plant evaluation/clingo/names.cpp representation/names.hpp
plant driver/run/process.cpp evaluation/solve/solver.hpp
plant driver/output/show.cpp driver/run/limits.hpp
plant tests/driver/run/limits_test.cpp driver/session/session.hpp
plant tests/evaluation/program/reader_test.cpp evaluation/clingo/translate.hpp

report=$(bash "$tree/tests/check_layers.sh" "$copy")
status=$?
expected="common/chunks.cpp includes \"base/exits.hpp\" of base
driver/output/show.cpp includes \"driver/run/limits.hpp\" of driver/run
driver/run/process.cpp includes \"evaluation/solve/solver.hpp\" of evaluation/solve
evaluation/clingo/names.cpp includes \"representation/names.hpp\" of representation
evaluation/program/syntax.hpp includes \"evaluation/solve/solver.hpp\" of evaluation/solve
tests/driver/run/limits_test.cpp includes \"driver/session/session.hpp\" of driver/session
tests/evaluation/program/reader_test.cpp includes \"evaluation/clingo/translate.hpp\" of evaluation/clingo"
# The lines without their line numbers, which follow the files' lengths.
found=$(sed -E 's/^([^:]*):[0-9]+: [^ ]+ /\1 /' <<<"$report")
if [ "$status" -ne 1 ] || [ "$found" != "$expected" ]; then
    echo "check_layers.sh did not name exactly the planted includes (status $status):"
    echo "$report"
    exit 1
fi
echo "every planted include was caught"
