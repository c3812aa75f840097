// The command line shared by rox-clingo and pexa-clingo,
//   PROGRAM [OPTIONS] FILE  or  PROGRAM --session [OPTIONS],
// read into a record, and the usage text that describes it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "evaluation/program/declarations.hpp"
#include "evaluation/program/syntax.hpp"

namespace vok::evaluation {

struct USAGE_ERROR : std::runtime_error {
    using std::runtime_error::runtime_error;
};

// --consequences=: the atoms true in some or in every answer set, instead of
// the answer sets.
enum class CONSEQUENCES { NONE, BRAVE, CAUTIOUS };

struct OPTIONS {
    bool help = false;
    MINIMALITY minimal = MINIMALITY::NONE;  // --minimal=min|strict
    bool version = false;
    bool text = false;         // --text: print the clingo program, solve nothing
    bool stats = false;        // --stats: clingo's statistics on standard error
    bool outcome = false;      // --outcome: how solving ended, on a last line for vok
    bool limitWarning = true;  // no --no-limit-warning: a limit reached is said
    CONSEQUENCES consequences = CONSEQUENCES::NONE;  // --consequences=brave|cautious
    std::size_t maxModels = 0;                       // -n=<k>, -n <k>, -n<k>, --models=<k>; 0: all
    std::optional<std::int64_t> maxint;              // -N=<n>
    std::string clingo = "clingo";                   // --clingo=<path>
    std::vector<std::string> clingoOptions;          // --clingo-option=<opt>, in order
    std::string file;                                // "-": standard input
    bool session = false;  // --session: programs step by step (session.hpp)
    bool explain = false;  // --explain: a session's rejected rule instances
    bool verbose = false;  // --verbose: a session's "info" lines
};

// Throws USAGE_ERROR.
OPTIONS ParseOptions(const std::vector<std::string>& args);

std::string ProgramName(FILE_FORM form);
std::string Usage(FILE_FORM form);

}  // namespace vok::evaluation
