// Linking a step's contributions to the literals they contribute to: each
// literal's final atom (defined once, then extended through hooks), its
// levels (the programs at which it holds, which decide the rejections of
// its complement's rules), and the link call that grounds them.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "evaluation/session/state.hpp"

namespace vok::evaluation::engine {

// Notes a contribution that the ground call of the rules made: rule j of
// program k contributes the literal text (of sign). The literal goes to
// clingo, and so does its complement; a contribution to a literal defined
// by an earlier step that may close a positive loop sets step.rebuild.
void takeContribution(SESSION& s, STEP& step, std::uint32_t call, std::uint32_t k, std::uint32_t j,
                      const SIGN& sign, std::string_view text);

// The program of the link call: the step's contributions join the literals
// they contribute to (their finals and their levels), and the facts that
// left the base in this step are grounded. With explain, levelsChanged
// gets the "levels" commands of the literals whose levels changed.
// rulesGiven: the call of the rules was given a program (without one, no
// choice of it can be weighed).
std::string linkPart(SESSION& s, STEP& step, std::uint32_t rulesCall, std::uint32_t call,
                     bool rulesGiven, std::string& levelsChanged);

}  // namespace vok::evaluation::engine
