// What the files of the maintained part (maintained.hpp) share among
// themselves.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "evaluation/session/maintained.hpp"
#include "evaluation/session/state.hpp"

namespace vok::evaluation::engine {

// The group of a signature: the lower of it and its complement.
std::uint32_t groupOf(const SESSION& s, std::uint32_t sig);

// Makes the part's tables as large as the session's.
void growTables(SESSION& s);

// Marks in clingo every group that must go there and orders the rest into
// components, lowest first (MAINTAINED::order).
void decideGroups(SESSION& s);

// Moves the groups marked in clingo since (not in was) out of the part.
// Returns why the step must be grounded from scratch, or nothing.
std::string releaseGroups(SESSION& s, STEP& step, const std::vector<char>& was);

}  // namespace vok::evaluation::engine
