// Brave and cautious reasoning for one ground goal atom, compared as text
// with the atoms of the filtered answer sets.
#pragma once

#include <string>

#include "driver/output/answer.hpp"
#include "driver/output/answer_atom.hpp"

// Whether Goal is a name, or a name with an argument list of names,
// numbers and quoted strings.
bool IsValidGoal();

// Whether an atom of a filtered answer set is the goal: its whole text is
// the goal's text, so an atom that merely appears inside a quoted argument
// is not.
bool IsGoalAtom(const ANSWER_ATOM& atom);

// The answer before any answer set: cautious reasoning holds until an
// answer set lacks the goal, brave reasoning fails until one has it.
GOAL_ANSWER UnansweredGoal();

// Records one answer set that stands, given whether one of its atoms is the
// goal: brave reasoning keeps the last one holding the goal as the witness,
// cautious reasoning the last one lacking it (and the first one until
// then). When model becomes the witness, it trades places with the former
// witness, whose room the caller may use for the next answer set.
void RecordForGoal(ANSWER& model, bool holds, GOAL_ANSWER& goal);

// Whether the witness is shown with the verdict: for brave reasoning when
// the goal holds, for cautious when it does not.
bool WitnessShown(const GOAL_ANSWER& goal);
