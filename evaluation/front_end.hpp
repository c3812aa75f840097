// The command line shared by rox-clingo and pexa-clingo:
//   PROGRAM [OPTIONS] FILE
// reads FILE, puts it into clingo's language, runs clingo and prints one
// line "{...}" per answer set on standard output; messages go to standard
// error.
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

struct OPTIONS {
    bool help = false;
    std::size_t maxModels = 0;               // -n=<k>, 0: all
    std::optional<std::int64_t> maxint;      // -N=<n>
    std::string clingo = "clingo";           // --clingo=<path>
    std::vector<std::string> clingoOptions;  // --clingo-option=<opt>, in order
    std::string file;                        // "-": standard input
};

// Throws USAGE_ERROR.
OPTIONS ParseOptions(const std::vector<std::string>& args);

std::string ProgramName(FILE_FORM form);
std::string Usage(FILE_FORM form);

// The whole run of one program; returns its exit status.
int Run(FILE_FORM form, int argc, char** argv);

}  // namespace vok::evaluation
