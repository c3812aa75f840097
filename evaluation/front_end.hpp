// The command line shared by rox-clingo and pexa-clingo:
//   PROGRAM [OPTIONS] FILE
// reads FILE, puts it into clingo's language, runs clingo and prints one
// line "{...}" per answer set on standard output; messages go to standard
// error.
//
// The evaluation programs are written in the house style, with three
// deliberate differences from vok itself:
// - A refusal is an exception, not the end of the process: the readers,
//   the translation, the model reader and the option reader throw
//   SYNTAX_ERROR, TRANSLATE_ERROR, ANSWER_SET_ERROR and USAGE_ERROR (plain
//   records deriving from std::runtime_error; those of the readers and the
//   translation carry the line of the fault). The recursive readers meet a
//   fault deep down, and the one place that reports it is Run, which prints
//   the message and returns the exit status; the unit tests and the fuzz
//   targets catch the same exceptions to observe a refusal while the
//   process goes on.
// - The options of a run are a record (OPTIONS) that ParseOptions returns,
//   not global flags, so that a command line can be read again and again.
// - Everything is in the namespace vok::evaluation. These are programs of
//   their own, whose records (ATOM, RULE, LITERAL, BUILTIN, TERM) share their
//   names with vok's global ones; code that sees both, such as the fuzz
//   target that reads what vok writes, keeps them apart by the namespace.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace vok::evaluation {

enum class FILE_FORM { ROX, PEXA };

// Exit statuses.
constexpr int ExitFinished = 0;      // solving finished, with or without answer sets
constexpr int ExitBadProgram = 1;    // FILE unreadable, a syntax error, a refused construct
constexpr int ExitBadUsage = 2;      // a wrong command line
constexpr int ExitSolverFailed = 3;  // clingo missing, failing, killed or interrupted,
                                     // or the answer sets could not be written

struct USAGE_ERROR : std::runtime_error {
    using std::runtime_error::runtime_error;
};

// --minimal=: all answer sets, or only the minimal or strictly minimal ones
// by the rejection predicates the file declares (one_run.hpp).
enum class MINIMALITY { NONE, MIN, STRICT };

struct OPTIONS {
    bool help = false;
    MINIMALITY minimal = MINIMALITY::NONE;  // --minimal=min|strict
    bool version = false;
    bool text = false;                       // --text: print the clingo program, solve nothing
    bool stats = false;                      // --stats: clingo's statistics on standard error
    std::size_t maxModels = 0;               // -n=<k>, -n <k>, -n<k>, --models=<k>; 0: all
    std::optional<std::int64_t> maxint;      // -N=<n>
    std::string clingo = "clingo";           // --clingo=<path>
    std::vector<std::string> clingoOptions;  // --clingo-option=<opt>, in order
    std::string file;                        // "-": standard input
};

// Throws USAGE_ERROR.
OPTIONS ParseOptions(const std::vector<std::string>& args);

std::string ProgramName(FILE_FORM form);
std::string Usage(FILE_FORM form);

// Whether a program file is one of vok's temporary ones (tempXXXXXX.vok,
// and the test files tempXXXXXX_MM<n>.vok made from it), which vok removes
// when its run ends: a place in such a file is named by its text, and a
// remedy by vok's options.
bool WrittenByVok(const std::string& path);

// The whole run of one program; returns its exit status.
int Run(FILE_FORM form, int argc, char** argv);

}  // namespace vok::evaluation
