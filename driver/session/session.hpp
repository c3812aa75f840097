// vok --session: a knowledge base that takes its updates as they come.
//
// The files are the sequence so far; then standard input brings further
// update programs, each a brace-enclosed block. After the files and after
// each block vok prints the update answer sets of the whole sequence so far
// and a closing line ("% step N: K answer sets"; a block with an error is
// dropped and answered "% dropped: block of line L"). One evaluation program
// (rox-clingo --session or pexa-clingo --session) stays for the whole
// session and is handed each step's programs (rox-clingo(1), SESSIONS).
// What a step prints goes through answers.hpp (BeginStep, WriteAnswer,
// FinishStep), in the format the options choose.
#pragma once

#include <string>
#include <vector>

#include "driver/settings.hpp"
#include "driver/show.hpp"
#include "input/directives.hpp"
#include "input/parser.hpp"

struct SESSION_SETTINGS {
    std::string program;             // -p=
    std::string options;             // -o=
    INPUT_DIRECTIVES directives;     // what -c and the files defined, for the blocks
    std::vector<std::string> files;  // the input files, in order
    bool changes = false;            // --changes: each step told by what changed
    RUN_SETTINGS run;                // what the steps apply as a run would
    SHOWN_PREDICATES shown;          // what is printed: --show and the files' #show
};

// Refuses the options a session cannot apply (naming them: -f=, -stdin,
// -integral, -wait, --stats, --time-limit=) and a missing -p= or a program
// type without an evaluation program: status 1.
void CheckSessionOptions(const RUN_SETTINGS& run, const std::string& program, bool readStdin,
                         bool timeLimit);

// The session after parser read the files into its sequence, the blocks
// read with the same parser; ends the process.
[[noreturn]] void RunSession(const SESSION_SETTINGS& settings, PARSER& parser);
