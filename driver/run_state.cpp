#include "driver/run_state.hpp"

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
