// Running the evaluation program on a program file and filtering what it
// prints.
#pragma once

#include <string>

#include "driver/output/answer.hpp"
#include "driver/run_state.hpp"
#include "driver/settings.hpp"

// The main run: runs "program options file" (evaluate.hpp) and hands every
// line it prints to OutputFilter, which records in goal the answer of a
// goal query. run is the sequence the file was written from and its
// translation (pexa reads a propositional sequence only). Removes the file
// afterwards unless -f= named it. Returns the evaluation program's exit
// code, or 128 + the signal number when a signal ended it; 0 when vok
// stopped it at its own limit of answer sets.
int ExecuteProgram(const RUN_SETTINGS& settings, const RUN_STATE& run, std::string program,
                   std::string options, std::string file, GOAL_ANSWER& goal);

// Passes text outside answer sets through, strips auxiliary atoms from each
// answer set, tests it for minimality, and hands one that stands to the
// writer of the results (answers.hpp) and to the goal test. Called with
// whole lines (line end included, when there was one). False once vok's own
// limit of answer sets (limits.hpp) is reached: no more are wanted. run's
// sequence explains an answer set (--explain), its translation makes the
// candidate's test program.
bool OutputFilter(const RUN_SETTINGS& settings, const RUN_STATE& run, std::string chunk,
                  std::string program, std::string options, std::string file, GOAL_ANSWER& goal);
