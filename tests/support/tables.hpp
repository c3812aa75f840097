// Empties the global program tables and lists and registers the builtins of
// the given program type, and puts the options back to their defaults, so
// that a test (or a fuzz input) starts from a run that has read nothing.
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
    OptionProgram = program;
    if (program == PROGRAM_TYPE::ROX) initBuiltins();
}

inline void resetOptions() {
    OptionVerbosity = OptionWait = OptionStore = false;
    OptionMinimal = OptionStrict = OptionIntegral = false;
    OptionBrave = OptionCautious = false;
    OptionOneRun = OptionExplain = OptionJson = OptionSummary = false;
    OptionModels = 0;
    OptionEnumMode = ENUM_MODE::AUTO;
    WhoAmI = "vok";
    Goal.clear();
}
