// A run that has read nothing: empty global tables, the rewriting's index of
// generated names emptied and every option back at its default, so that a
// test (or a fuzz input) does not see what an earlier one left behind.
#pragma once

#include "base/options.hpp"
#include "rewriting/auxiliary.hpp"
#include "tests/support/tables.hpp"

// Builtins are registered for program type program.
inline void freshRun(PROGRAM_TYPE program = PROGRAM_TYPE::ROX) {
    resetProgramTables(program);
    ResetAuxiliaryIndex();
}
