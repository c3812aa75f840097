// Empties the global program tables and lists and registers the builtins of
// the given program type, so that a test (or a fuzz input) starts from a
// run that has read nothing.
#pragma once

#include <string_view>

#include "base/options.hpp"
#include "representation/compound.hpp"
#include "representation/rule.hpp"

// The variables of the terms the tests build by text (termOf), numbered per
// statement as a parser numbers them.
inline LOCAL_VARIABLES& TestVariables() {
    static LOCAL_VARIABLES variables;
    return variables;
}

// A term by its text; upper case: a variable of TestVariables().
inline IDENT termOf(std::string_view text) { return newIDENT(text, TestVariables()); }

inline void resetProgramTables(PROGRAM_TYPE program) {
    IDENT::Constants = NAMES();
    Compounds = COMPOUNDS();
    ATOM::Predicates = PREDICATE_NAMES();
    updatePredicates.clear();
    updatePredicates.setSpan(16);  // a rewriting sets one place per program
    minimalPredicates.clear();
    TestVariables().reset();
    NumBuiltins = 0;
    if (program == PROGRAM_TYPE::ROX) initBuiltins();
}
