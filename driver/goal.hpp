// Brave and cautious reasoning for one ground goal atom, compared as text
// with the atoms of the filtered answer sets.
#pragma once

#include <string>

#include "driver/answer_atom.hpp"

// Whether Goal is a name, or a name with an argument list of names,
// numbers and quoted strings.
bool IsValidGoal();

// Whether an atom of a filtered answer set is the goal: its whole text is
// the goal's text, so an atom that merely appears inside a quoted argument
// is not.
bool IsGoalAtom(const ANSWER_ATOM& atom);

// Records one filtered answer set for the goal, given whether one of its
// atoms is the goal: brave reasoning keeps the last model holding the
// goal, cautious reasoning the last one lacking it. True when model became
// the witness.
bool RecordForGoal(const std::string& model, bool holds, bool& answer, std::string& witness);

// The same for a filtered answer set given as text ("{a, p(b)}").
void TestForGoal(std::string model, bool& answer, std::string& witness);
