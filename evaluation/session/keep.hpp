// Keeping the maintained part of a session (maintained.hpp) through a
// step: its rules and facts taken, its groups decided, its atoms brought up
// to date, and what leaves it for clingo.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "evaluation/session/literals.hpp"
#include "evaluation/session/state.hpp"

namespace vok::evaluation::engine {

// Notes the rule stored at index: the groups it reads and derives, and its
// kept form when the maintained part can evaluate it.
void keepRule(SESSION& s, std::uint32_t index, const READ_RULE& read);

// Decides the groups after the step's rules: those that must go to clingo
// leave the maintained part (their literals leave the base; the facts of
// one that had only facts go to clingo in the step). Returns why the step
// must be grounded from scratch, or nothing.
std::string settleGroups(SESSION& s, STEP& step);

// Where the signature's facts go: KEPT, SHARED (the part and clingo) or
// CLINGO (maintained.hpp).
char groupStanding(const SESSION& s, std::uint32_t signature);

// A fact of a kept signature: the literal gains its support.
void keepFact(SESSION& s, std::uint32_t literal, std::uint32_t program);

// Brings the maintained atoms up to date, lowest group first, and marks the
// literals whose standing changed. Returns why the step must be grounded
// from scratch (a group met values it cannot order), or nothing.
std::string updateKept(SESSION& s, STEP& step);

// The literals of the handed groups that hold, for a clingo that starts
// from scratch.
std::vector<std::uint32_t> handedTruths(const SESSION& s);

// Whether the maintained part holds a literal and its complement, which
// leaves no answer set.
bool keptContradiction(const SESSION& s);

}  // namespace vok::evaluation::engine
