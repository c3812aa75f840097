// The candidate minimality test: every answer set of the rewritten program
// is a candidate, and it stands only when a test program built for it, run
// through the same evaluation program, has no answer set.
#pragma once

#include <string>

#include "driver/output/answer_atom.hpp"
#include "driver/settings.hpp"
#include "representation/rule.hpp"
#include "rewriting/translation.hpp"

// Turns one rejection atom of an answer set into an atom of the program
// (an argument that reads as a decimal integer becomes that integer, any
// other a constant) and appends its candidate rules to rules. Ends the run
// with status 1 when the predicate is known with another arity.
void AddCandidateRules(const RUN_SETTINGS& settings, const ANSWER_ATOM& printed, RULES& rules);

// Appends the two candidate rules of a ground rejection atom: the one that
// derives ok (with -strict ok of the atom's level) when a test answer set
// does not reject it, and the fact that the candidate rejects it. Any other
// atom adds nothing.
void AddModelRules(const RUN_SETTINGS& settings, const ATOM& atom, RULES& rules);

// Writes and runs the test program of candidate n (translation with rules
// added) next to the main program file; true when the candidate is
// minimal. A failed test run ends the process with its status.
bool TestCandidate(const RUN_SETTINGS& settings, const TRANSLATION& translation, unsigned n,
                   const RULES& rules, std::string program, std::string options, std::string file);

// How a test program's run ended: its status, and whether it printed an
// answer set (the candidate is then not minimal).
struct TEST_RUN {
    int status = 0;
    bool found = false;
};

// Runs the test program file; nothing of its output is printed, and its
// outcome line (--stats) is noted as a candidate test's.
TEST_RUN RunTestProgram(const RUN_SETTINGS& settings, const std::string& program,
                        const std::string& options, const std::string& file);
