// A step's programs taken into the session's tables: their rules stored,
// each fact kept in the base set or sent to clingo, and the literals that
// leave the base on the way.
#pragma once

#include <cstdint>
#include <vector>

#include "evaluation/session/literals.hpp"
#include "evaluation/session/state.hpp"

namespace vok::evaluation::engine {

// Takes the programs read: their rules, the signatures their bodies use
// (whose literals leave the base), then their facts.
void takePrograms(SESSION& s, STEP& step, std::vector<READ_PROGRAM>& read);

// Notes the literal's standing at the start of the step, once.
void touch(SESSION& s, STEP& step, std::uint32_t id);

// The literal goes to clingo; with into, so do the facts it had in the base.
void makeDynamic(SESSION& s, STEP& step, std::uint32_t id, std::vector<std::uint32_t>& into);

}  // namespace vok::evaluation::engine
