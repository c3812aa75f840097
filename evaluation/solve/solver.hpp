// Runs clingo as a child process: the program goes to its standard input
// through a pipe (no temporary files, so runs side by side never meet), and
// its models are read from its standard output as they come, one whole line
// at a time.
#pragma once

#include <sys/types.h>

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "common/child.hpp"
#include "common/pipe_channel.hpp"
#include "evaluation/solve/answer_sets.hpp"

namespace vok::evaluation {

struct SOLVER_CALL {
    std::string clingo = "clingo";     // a path, or a name looked up in PATH
    std::vector<std::string> options;  // passed on before the ones set here
    std::size_t maxModels = 0;         // 0: all
    // The program carries the one-run script (clingo/one_run.hpp), which prints
    // the answer sets itself and counts them against maxModels.
    bool oneRun = false;
    // The names of predicates the program writes as data, by id, or null.
    const std::vector<std::string>* dataNames = nullptr;
    bool stats = false;  // clingo's statistics in the summary, its notes of an interruption kept
    // clingo's own --enum-mode (brave, cautious), or empty for its default.
    std::string enumMode;
    // The models make one answer-set line, handed to emit once clingo
    // finished (and had a model), instead of each being handed on.
    FOLD fold = FOLD::NONE;
    // With FOLD::LAST: atoms that join the last model (OUTPUT_READER::settled).
    std::string_view settled;
};

struct SOLVER_OUTCOME {
    bool finished = false;  // clingo ran to its end and said so
    std::size_t answerSets = 0;
    bool exhausted = false;     // clingo searched the whole space: there are no more answer sets
    std::string error;          // why not, when !finished
    std::string summary;        // clingo's lines after its result line
    bool outputClosed = false;  // the answer sets could not be written: no one reads them
};

// clingo's notes on its standard error that it was interrupted ("*** Info
// : (clingo): INTERRUPTED by signal!", "... Queueing signal..."), by its
// time limit or by a signal. Solve leaves them out unless call.stats asks
// for clingo's own words: the reason is said once, as the failure.
bool IsInterruptionNote(std::string_view line);

// The seconds of the --time-limit among clingo's options ("--time-limit=60",
// or "--time-limit" and "60"), or "" when there is none.
std::string TimeLimitOf(const std::vector<std::string>& options);

// The arguments clingo is started with (after its own name).
std::vector<std::string> clingoArguments(const SOLVER_CALL& call);

// Feeds `program` to clingo and hands each answer set, already put into the
// file's notation and ending in "\n", to `emit`. `emit` returns false when
// it could not write the line; clingo is then stopped. clingo's standard
// error is passed on to ours, line by line.
SOLVER_OUTCOME Solve(const SOLVER_CALL& call, std::string_view program,
                     const std::function<bool(std::string_view)>& emit);

// Stops clingo at once if it runs (SIGKILL) and reaps it; safe in a signal
// or new handler, for an end of the program that does not return to Solve.
void StopClingo();

// The clingo of a session, started once with a Lua script and spoken to a
// line at a time until the session ends, is given the handling that Solve
// gives its own: from StopClingoOnSignals on, SIGPIPE is ignored (a reader
// that went away shows as a failed write) and the signals that end this
// program (SIGHUP, SIGINT, SIGTERM) kill the running clingo before it
// ends; StopClingo stops it too.
void StopClingoOnSignals();

// Starts clingo with the arguments and the script, which clingo reads from
// descriptor 3 (no file is written). Returns why it could not, or nothing.
std::string StartSessionClingo(const std::string& clingo, const std::vector<std::string>& args,
                               std::string_view script, LINE_CHANNEL& channel);

// Closes both pipes and waits for clingo (killing it first when kill is
// set); its wait status (0 when there is none or it cannot be waited for).
int StopSessionClingo(LINE_CHANNEL& channel, bool kill);

// For the clingo of a session whose output ended, or that said its result
// line (which it says only on its way out): reads and drops what it still
// writes and waits for it, for two seconds at most before it is killed.
// How it ended, in words: "clingo ended by signal 9 (Killed)", "clingo
// ended with status 1 (interrupted)".
std::string SessionClingoEnd(LINE_CHANNEL& channel);

// The first line clingo --version prints ("clingo version 5.4.1"), or
// nothing when clingo cannot be run or says something else.
std::string ClingoVersion(const std::string& clingo);

// Makes sure descriptors 0, 1 and 2 are open (on /dev/null if they were
// closed), so that pipes made later never take their numbers. Returns the
// set of those that were closed: bit 0 for descriptor 0, and so on.
unsigned EnsureStandardDescriptors();

}  // namespace vok::evaluation
