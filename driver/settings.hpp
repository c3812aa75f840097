// What the steps of a run read of the command line: made once by main from
// its options (driver/app/options.hpp, RunSettingsOf) and passed down by
// const reference, so that no step keeps a setting of its own.
#pragma once

#include <cstddef>
#include <string>

#include "base/options.hpp"
#include "representation/notation.hpp"
#include "rewriting/rewriting.hpp"

// What a goal asks (-FB=, -FC=, or a session's #brave and #cautious): brave
// or cautious reasoning over the goal's text; neither when nothing is
// asked.
struct GOAL_QUESTION {
    bool brave = false;
    bool cautious = false;
    std::string goal;
    bool asked() const { return brave || cautious; }
};

struct RUN_SETTINGS {
    PROGRAM_TYPE programType = PROGRAM_TYPE::ROX;   // -P=
    OPTIMIZATION optimize = OPTIMIZATION::SUCCINT;  // -O=
    bool verbose = false;                           // -v
    bool debug = false;                             // -debug
    bool store = false;                             // -f= named a file
    bool wait = false;                              // -wait
    bool minimal = false;                           // -min
    bool strict = false;                            // -strict
    bool integral = false;                          // -integral
    bool oneRun = false;                            // --one-run: minimality decided in one run
    bool brave = false;                             // -FB=
    bool cautious = false;                          // -FC=
    std::string goal;                               // the goal of -FB= or -FC=
    bool explain = false;                           // --explain
    bool json = false;                              // --json
    bool stats = false;                             // --stats
    bool session = false;                           // --session
    std::size_t models = 0;                         // -n: at most this many answer sets; 0: all
    unsigned timeLimit = 0;                         // --time-limit: seconds of solving; 0: none
    ENUM_MODE enumMode = ENUM_MODE::AUTO;           // --enum-mode=
    const char* invocation = "vok";                 // the name vok was started by

    // The answer sets of the program type are read back (rox and pexa).
    bool readsAnswerSets() const { return programType != PROGRAM_TYPE::OTHER; }
    bool asksConsequences() const { return enumMode != ENUM_MODE::AUTO; }
    // Every answer set is a candidate tested with a run of its own (-min or
    // -strict, without -integral or --one-run).
    bool testsCandidates() const { return (minimal || strict) && !integral && !oneRun; }
    NOTATION notation() const { return NotationOf(programType); }
    GOAL_QUESTION question() const { return GOAL_QUESTION{brave, cautious, goal}; }
};
