// What a run prints as its result, and the one place that writes it.
//
// The output filter hands over each answer set that stands as an ANSWER
// record (its atoms in the input's vocabulary, with --explain the rule
// instances it rejected); a goal query ends with a GOAL_ANSWER (the verdict
// and the answer set that witnesses it). The functions below write them in
// the format the options choose, and only they know the formats:
//
//   text   each answer set on a line of its own ("{a, p(b)}"), with
//          --explain followed by a line per rejected rule instance; for a
//          goal only the verdict and the witness, at the end; with --stats
//          then the summary of the run (summary.hpp) in the solver's
//          words, at every end of the run, early ones included;
//   JSON   (--json) one document on standard output, begun before the
//          first answer set and closed at every end of the run, early ones
//          included, with --stats the summary's figures as members; what
//          the run prints on standard output otherwise (banner, verbose
//          lines, the evaluation program's own text) goes to standard error
//          from its beginning on.
//
// A session (--session) prints its results step by step: BeginStep, the
// answer sets of the step, FinishStep (or StepFailed), and DroppedBlock for
// a block of standard input that was not taken. The text form then closes
// each step with a line of its own ("% step 2: 1 answer set",
// "% dropped: block of line 7"), which no answer set can be taken for;
//   JSON lines (--session --json) the JSON document of each step, with its
//          number ("Step") after "Input", on one line of its own, written
//          whole once the step ends (a dropped block: "Dropped" with the
//          input and line, and "Errors" with its diagnostics, instead of
//          the results); a directive's answer has "Directive" after "Step".
//
// Each format is a class of the ANSWER_WRITER interface in answers.cpp
// (TEXT_WRITER, JSON_WRITER, JSON_LINES_WRITER), which the functions below
// hand each event to; a new format is a value of ANSWER_FORMAT and a class,
// chosen from the options in chosenWriter(), and nothing else in the
// driver needs to change.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "driver/output/answer.hpp"
#include "driver/settings.hpp"
#include "input/parser.hpp"

enum class ANSWER_FORMAT { TEXT, JSON, JSON_LINES };

// How the run ended, for the closing words of the document.
struct RUN_END {
    bool evaluated = false;  // the evaluation program ran and its answer sets were read
    int status = 0;          // its exit status
};

// Before anything is printed: run the settings of the run, which the
// writers keep (the format, --stats, --enum-mode=, the run's goal), solver
// names vok and its version, inputs the input files in order (standard
// input as "<stdin>").
void BeginAnswers(const RUN_SETTINGS& run, const std::string& solver,
                  const std::vector<std::string>& inputs);

// One answer set that stands, counted for the summary. The text form
// prints none for a goal query, which shows only its witness.
void WriteAnswer(const ANSWER& answer);

// The end of a run that got to its end; a goal's answer is written here,
// unless the evaluation program failed (the verdict could be wrong).
void FinishAnswers(const RUN_END& end, const GOAL_ANSWER& goal);

// How a step of a session ended.
struct STEP_OUTCOME {
    unsigned step = 0;
    bool complete = true;  // false: the evaluation program stopped at -n while more may exist
    std::optional<double> seconds;  // with -v, how long the step took
    // The directive the step answers ("undo": the sequence after a block
    // was taken back), or null for a block taken.
    const char* directive = nullptr;
};

// A step of a session begins; its answer sets follow through WriteAnswer.
// question: the goal the step answers (the run's, or that of a #brave or
// #cautious directive), whose answer sets the text form leaves out.
void BeginStep(unsigned step, const GOAL_QUESTION& question);

// The step's end, a goal's answer included.
void FinishStep(const STEP_OUTCOME& end, const GOAL_ANSWER& goal);

// The evaluation program ended during the step: JSON lines close the step
// with the result UNKNOWN; the text form has said it on standard error.
void StepFailed(unsigned step);

// A block of standard input that began on line `line` was dropped (or a
// directive on that line refused, with directive set); step is the number
// of the last step answered, errors the diagnostics it got.
void DroppedBlock(unsigned step, unsigned line, const std::vector<DIAGNOSTIC>& errors,
                  bool directive = false);

// A session's directive answered without a step of its own: #save wrote
// the sequence of step `step` to file; #brave or #cautious (the goal's
// question says which, and the goal) found goal's answer over the
// answer sets of step `step` written since BeginStep (complete: all there
// are).
void SequenceSaved(unsigned step, const std::string& file);
void GoalAnswered(unsigned step, const GOAL_ANSWER& goal, bool complete);

// The text form of an answer set: "{a, p(b)}".
std::string AnswerText(const ANSWER_ATOMS& atoms);

// The text with its line ends and carriage returns written as "\n" and
// "\r", as clingo writes a line end in a string. Only quoted strings of the
// input hold them, and written raw they would split an answer set or an
// explanation into lines, one of which might pass for a closing line
// ("% step 7: ..."); a text without them is kept as it is.
std::string OnOneLine(std::string_view text);

// The text form of rejected rule instances, one line per instance:
//   "  rejected: program 0, rule 0 (in.lp:3) "p(X) :- q(X)." with X = a, by -p(a) of program 1"
std::string ExplanationLines(const std::vector<EXPLANATION>& explanations);
