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

enum class FileForm { Rox, Pexa };

// Exit statuses.
constexpr int exit_finished = 0;       // solving finished, with or without answer sets
constexpr int exit_bad_program = 1;    // FILE unreadable, a syntax error, a refused construct
constexpr int exit_bad_usage = 2;      // a wrong command line
constexpr int exit_solver_failed = 3;  // clingo missing, failing, killed or interrupted,
                                       // or the answer sets could not be written

class UsageError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

struct Options {
    bool help = false;
    std::size_t max_models = 0;               // -n=<k>, 0: all
    std::optional<std::int64_t> maxint;       // -N=<n>
    std::string clingo = "clingo";            // --clingo=<path>
    std::vector<std::string> clingo_options;  // --clingo-option=<opt>, in order
    std::string file;                         // "-": standard input
};

// Throws UsageError.
Options parse_options(const std::vector<std::string>& args);

std::string program_name(FileForm form);
std::string usage(FileForm form);

// The whole run of one program; returns its exit status.
int run(FileForm form, int argc, char** argv);

}  // namespace vok::evaluation
