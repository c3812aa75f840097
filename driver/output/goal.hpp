// Brave and cautious reasoning for the goal of -FB= or -FC=. A ground goal
// is one atom, compared as text with the atoms of the filtered answer sets;
// a goal with variables (goal_pattern.hpp) is answered by its instances:
// brave, those in some answer set; cautious, those in every one.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "driver/output/answer.hpp"
#include "driver/output/answer_atom.hpp"

// Whether goal reads as a goal (goal_pattern.hpp), or has the form that
// vok took before goals held variables (a name with an argument list of
// names, numbers and quoted strings), which is compared as text.
bool IsValidGoal(const std::string& goal);

// The message that refuses a goal, or nothing when it is valid: "Invalid
// goal: G." and, for a goal that uses blanks, "-", nested terms or other
// characters of the pattern syntax, a line that says why ("vok: unbalanced
// parenthesis at column 3"; invocation names vok).
std::optional<std::string> GoalRefusal(const std::string& goal, const char* invocation);

// Whether an atom of a filtered answer set is the ground goal: its whole
// text is the goal's, so an atom that merely appears inside a quoted
// argument is not.
bool IsGoalAtom(const GOAL_ANSWER& goal, const ANSWER_ATOM& atom);

// Notes what an atom of an answer set gives the goal: an instance, or the
// ground goal itself.
void NoteGoalAtom(const GOAL_ANSWER& goal, const ANSWER_ATOM& atom, GOAL_MATCHES& matches);

// The answer before any answer set: cautious reasoning holds until an
// answer set lacks the goal, brave reasoning fails until one has it; a goal
// with variables carries its pattern. The answer keeps its question, which
// the recording and the writing of the answer read.
GOAL_ANSWER UnansweredGoal(const GOAL_QUESTION& question);

// Records one answer set that stands, given whether one of its atoms is the
// goal: brave reasoning keeps the last one holding the goal as the witness,
// cautious reasoning the last one lacking it (and the first one until
// then). When model becomes the witness, it trades places with the former
// witness, whose room the caller may use for the next answer set.
void RecordForGoal(ANSWER& model, bool holds, GOAL_ANSWER& goal);

// The same for a goal of either kind, given what the answer set gave it.
// For a goal with variables, brave reasoning adds the new instances and
// keeps model (moved away) as their witness when there is one; cautious
// reasoning keeps the instances that this answer set holds too.
void RecordForGoal(ANSWER& model, const GOAL_MATCHES& matches, GOAL_ANSWER& goal);

// Whether the witness is shown with the verdict: for brave reasoning when
// the ground goal holds, for cautious when it does not.
bool WitnessShown(const GOAL_ANSWER& goal);

// An instance of a goal with variables as the verdict lists it.
struct GOAL_INSTANCE {
    std::string_view atom;
    std::optional<std::size_t> witness;  // brave: the number of its witness
};

// The instances of a goal with variables, sorted as answer sets sort their
// atoms (byte order).
std::vector<GOAL_INSTANCE> GoalInstances(const GOAL_ANSWER& goal);
