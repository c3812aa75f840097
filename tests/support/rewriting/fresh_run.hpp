// A run that has read nothing: empty global tables, the rewriting's index of
// generated names emptied and every option back at its default, so that a
// test (or a fuzz input) does not see what an earlier one left behind.
#pragma once

#include "base/options.hpp"
#include "rewriting/auxiliary.hpp"
#include "tests/support/tables.hpp"

// Builtins are registered for program type program (1 rox, 2 pexa).
inline void freshRun(int program = 1) {
    resetProgramTables(program);
    resetAuxiliaryIndex();
    resetOptions();
}
