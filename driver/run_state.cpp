#include "driver/run_state.hpp"

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

REWRITING_SETTINGS RunRewritingSettings(const RUN_SETTINGS& settings) {
    REWRITING_SETTINGS s;
    s.minimal = settings.minimal;
    s.strict = settings.strict;
    s.optimize = settings.optimize;
    s.strongNegationConstraints = settings.programType == PROGRAM_TYPE::PEXA;
    s.debug = settings.debug;
    s.notation = settings.notation();
    return s;
}
