// What the files of a session share (session.cpp, step_answer.cpp,
// step_programs.cpp): the session's state, a step's answer as it is read,
// and the workers that more than one of them calls.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "common/contract.hpp"
#include "common/pipe_channel.hpp"
#include "driver/output/answer.hpp"
#include "driver/output/goal.hpp"
#include "driver/session/answer_changes.hpp"
#include "driver/session/session.hpp"
#include "driver/session/session_base.hpp"
#include "driver/show.hpp"
#include "input/parser.hpp"

// A block taken and not taken back: its text as read (for #save), its
// programs as written to the evaluation program (to start another one on
// the sequence after an #undo), and what it changed besides the tables.
struct TAKEN_BLOCK {
    std::string text;
    std::vector<std::string> programs;
    INPUT_DIRECTIVES directivesBefore;
    SHOWN_PREDICATES shownBefore;
};

struct SESSION_STATE {
    SESSION_SETTINGS settings;  // its directives and shown predicates as the blocks left them
    PARSER* parser = nullptr;   // that read the files, with the sequence so far
    LINE_CHANNEL child;         // the evaluation program
    std::vector<std::string> commandWords;
    std::string command;
    BASE_SET base;
    unsigned step = 0;         // the number of the next step
    unsigned dropped = 0;      // blocks dropped and directives refused so far
    bool inputClosed = false;  // standard input was closed when the session began
    bool formSent = false;     // the evaluation program was told the form of the programs
    std::vector<std::string> filePrograms;  // step 0's programs, as written
    std::string filesText;                  // the files as one sequence file's text
    std::vector<TAKEN_BLOCK> taken;
    std::vector<DIAGNOSTIC> diagnostics;  // those of the block or directive at hand
    // --changes: the answer sets printed last, what was shown of them, and
    // the base that an #undo left behind (the evaluation program started
    // again names its base anew).
    std::vector<KEPT_ANSWER> printed;
    SHOWN_PREDICATES shownWhenPrinted;
    std::vector<std::string> baseLeft;
};

// One answer set of a step while its lines come.
struct OPEN_ANSWER {
    bool open = false;
    ANSWER_ATOMS atoms;  // of its own line, sorted
    std::vector<EXPLANATION> rejected;
    ANSWER_ATOMS instances;  // of a goal with variables, among atoms
};

// What a step's answer gave besides its answer sets.
struct STEP_ANSWER {
    bool complete = true;
    bool refused = false;
    REFUSAL refusal;
    GOAL_ANSWER goal;      // of the question the step answers
    std::string goalAtom;  // a ground goal in the evaluation program's notation
    ANSWER answer;         // room for the answer set being written
    // The instances of a goal with variables in the base, which every
    // answer set of the step holds; found once the base is taken.
    std::optional<ANSWER_ATOMS> baseInstances;
    GOAL_MATCHES matches;  // room for what an answer set gave the goal
    // --changes: the step's answer sets, held until it ends, when they are
    // told against those printed before; and how the base changed.
    std::vector<KEPT_ANSWER> kept;
    std::vector<ANSWER> held;
    BASE_DELTA delta;
};

// ---- a step's answer (step_answer.cpp)

// A ground goal as the evaluation program writes the atom (pexa: the pexa
// form's).
std::string GoalAtomOf(const GOAL_ANSWER& goal, bool pexa);

// The answer set that the step's lines gave is complete: it is written, or
// recorded for the goal.
void FinishAnswer(SESSION_STATE& s, STEP_ANSWER& step, OPEN_ANSWER& a);

// --changes: the step's answer sets, held until it ended, printed as what
// changed against those printed before. keep: they are the answer sets
// printed now, which those of a goal directive are not.
void PrintHeld(SESSION_STATE& s, STEP_ANSWER& step, bool keep);

// --changes: how the base changed in the step, the base an #undo left
// behind included.
BASE_DELTA BaseDelta(SESSION_STATE& s, std::vector<std::string> added,
                     std::vector<std::string> removed);

// An instance rejected in the open answer set.
void NoteRejection(const SESSION_STATE& s, OPEN_ANSWER& a, const REJECTED_INSTANCE& r);

// The answer set of a line "{a, b}", with the instances of a goal with
// variables among them.
void OpenAnswer(const SESSION_STATE& s, const GOAL_ANSWER& goal, OPEN_ANSWER& a,
                std::string_view line);

// ---- what vok writes to the evaluation program (step_programs.cpp)

// The text of each program from first on; the new constraints go with the
// last.
std::vector<std::string> StepPrograms(PROGRAM_TYPE type, const SEQUENCE& sequence,
                                      std::size_t first, std::size_t firstConstraint);

// The step line, then the program line and the text of each program.
void AppendStep(std::string& message, const std::vector<std::string>& programs);

// The programs are with the evaluation program now; their rules are needed
// no longer.
void ForgetRules(SEQUENCE& sequence, std::size_t first);
