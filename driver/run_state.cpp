#include "driver/run_state.hpp"

#include "base/options.hpp"

SEQUENCE& RunSequence() {
    // Never destroyed, like the translation.
    static SEQUENCE& sequence = *new SEQUENCE;
    return sequence;
}

TRANSLATION& RunTranslation() {
    // Never destroyed: freeing millions of rules at exit would only cost
    // time, and every end of a run may still write it.
    static TRANSLATION& translation = *new TRANSLATION;
    return translation;
}

REWRITING_SETTINGS RunRewritingSettings() {
    REWRITING_SETTINGS s;
    s.minimal = OptionMinimal;
    s.strict = OptionStrict;
    s.optimize = OptionOptimize;
    s.strongNegationConstraints = OptionProgram == PROGRAM_TYPE::PEXA;
    s.debug = OptionDebug;
    s.notation = NotationOf(OptionProgram);
    return s;
}
