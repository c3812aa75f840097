// Empties the global program tables and lists and registers the builtins of
// the given program type, so that a test (or a fuzz input) starts from a
// run that has read nothing.
#pragma once

#include "base/options.hpp"
#include "representation/compound.hpp"
#include "representation/rule.hpp"

inline void resetProgramTables(PROGRAM_TYPE program) {
    IDENT::Constants = NAMES();
    Compounds = COMPOUNDS();
    ATOM::Predicates = PREDICATE_NAMES();
    updatePredicates.clear();
    updatePredicates.setSpan(16);  // a rewriting sets one place per program
    minimalPredicates.clear();
    LocalVariables.reset();
    NumBuiltins = 0;
    if (program == PROGRAM_TYPE::ROX) initBuiltins();
}
