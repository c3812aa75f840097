// One run of the evaluation program on a program file, shared by the main
// run (execute.hpp), whose answer sets go through the output filter, and
// the candidate tests (candidate.hpp), which only ask whether an answer set
// was printed.
#pragma once

#include <functional>
#include <string>
#include <string_view>

#include "driver/settings.hpp"

// How a run ended: its exit code (128 + the signal number when a signal
// ended it), or stopped when the reader of its lines asked for no more.
struct EVALUATION_END {
    int code = 0;
    bool stopped = false;
};

// Runs the program with the words of options (split at blanks, as -o=
// is) and then the file as its arguments, no shell between, the limits of the run
// added to the options (limits.hpp; testRun: a candidate test's), and
// hands every line it prints, whatever its length and line end included,
// to take until take returns false; the program is then stopped with
// everything it started. The output of a program type whose answer sets
// are not read is copied to standard output instead. Ends the run with
// status 1 when the program cannot be started. Removes the file
// afterwards unless -f= named it (when stopped, the caller does).
EVALUATION_END RunEvaluation(const RUN_SETTINGS& settings, const std::string& program,
                             const std::string& options, const std::string& file, bool testRun,
                             const std::function<bool(std::string_view)>& take);

// The outcome line asked for with --stats or --json, noted instead of being
// printed; false for any other line.
bool NoteOutcomeLine(const RUN_SETTINGS& settings, std::string_view line, bool testRun);

// Removes the program file unless -f= named it.
void RemoveUnlessStored(const RUN_SETTINGS& settings, const std::string& file);
