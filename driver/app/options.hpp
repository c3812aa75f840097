// The command line as one record, OPTIONS, read through one table in
// which each option is declared once: its names, how its value is read
// and checked, and its line in the usage or --help text (help.hpp writes
// both from the table).
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "driver/settings.hpp"
#include "driver/show.hpp"

struct OPTIONS {
    std::string program;                            // -p=: the evaluation program; empty: none
    std::string evaluationOptions;                  // -o=
    std::string file;                               // -f=: the program file kept after the run
    bool store = false;                             // -f= named a file
    std::string goal;                               // -FB= or -FC=
    bool brave = false;                             // -FB=
    bool cautious = false;                          // -FC=
    bool minimal = false;                           // -min
    bool strict = false;                            // -strict
    bool integral = false;                          // -integral
    bool oneRun = false;                            // --one-run
    OPTIMIZATION optimize = OPTIMIZATION::SUCCINT;  // -O=
    PROGRAM_TYPE programType = PROGRAM_TYPE::ROX;   // -P=
    bool silent = false;                            // -silent
    bool readStdin = false;                         // -stdin
    bool verbose = false;                           // -v
    bool debug = false;                             // -debug
    bool ignoredStats = false;                      // -stats: accepted, no effect
    bool wait = false;                              // -wait
    bool explain = false;                           // --explain
    bool json = false;                              // --json, --outf=2
    bool stats = false;                             // --stats: the summary after the results
    bool session = false;                           // --session
    bool changes = false;                           // --changes (with --session)
    std::size_t models = 0;                         // -n, --models: 0: all
    unsigned timeLimit = 0;                         // --time-limit=: 0: none
    ENUM_MODE enumMode = ENUM_MODE::AUTO;           // --enum-mode=, -e
    SHOWN_PREDICATES shown;                         // --show=: every atom without it

    // The values as written, checked once the banner is out (CheckValues);
    // a value of -n or --models that is missing stays nothing.
    struct GIVEN {
        std::optional<std::string> models;     // -n, --models
        std::string modelsOption;              // which of them, as written
        bool modelsMissing = false;            // -n or --models ended the command line
        std::optional<std::string> timeLimit;  // --time-limit=
        std::optional<std::string> outf;       // --outf= other than 0 and 2
        std::optional<std::string> show;       // --show=
        bool constantMissing = false;          // -c or --const ended the command line
        std::optional<std::string> enumMode;   // --enum-mode=, -e
        std::string enumModeOption;            // which of them, as written
    } given;

    // -c, --const: NAME=VALUE definitions, in order, checked where the
    // parser takes them; a later one of the same name wins.
    std::vector<std::string> constants;

    std::vector<std::string> inputs;  // the input files, in order
};

// What the command line asks for besides a run.
// MISSING_EQUALS: an option that takes "=value" given without "=" ("-p
// prog"), an unknown option too.
enum class REQUEST { RUN, USAGE, HELP, VERSION, UNKNOWN, MISSING_EQUALS };

struct COMMAND_LINE {
    OPTIONS options;
    REQUEST request = REQUEST::RUN;
    std::string unknown;  // the option that was not known
    std::string meant;    // with MISSING_EQUALS: the option as it was likely meant, "-p=prog"
};

// The options up to the first argument that does not begin with "-" or
// just after "--"; the rest are input files. Reading stops at -h, -help,
// --help, --version and at an unknown option, which the request names.
COMMAND_LINE ReadCommandLine(int argc, const char* const* argv);

// The values of -n, --time-limit=, --outf=, --show= and --enum-mode=, in that order;
// the message that refuses the first one its option does not take, or
// nothing. Sets the numbers and the shown predicates.
std::optional<std::string> CheckValues(OPTIONS& options);

// Where an option's line goes: the usage, or the rest of --help.
enum class HELP_SECTION { USAGE, MORE, EXTENSIONS };

// How an argument names an option.
enum class MATCH {
    EXACT,     // the whole argument: "-min"
    PREFIX,    // the value follows in the same argument: "-f=" "-f=file"
    DIGITS,    // digits follow in the same argument: "-n" "-n5"
    SEPARATE,  // the value is the next argument, whatever it is: "-n" "5"
};

struct OPTION_NAME {
    const char* name;
    MATCH match;
};

// One option: its names, how its value is read (value is null for an
// option without one, and for a separate value that is missing; written
// is the name as given), and its entry in the help: the forms shown, the
// lines of its description and where it stands.
struct OPTION {
    std::vector<OPTION_NAME> names;
    void (*read)(COMMAND_LINE& line, const char* value, const char* written);
    const char* forms;
    std::vector<const char*> help;
    HELP_SECTION section;
};

// Every option, in the order of the help text within each section.
const std::vector<OPTION>& OptionTable();

// Whether arg is one of the options, with or without its value ("-strict",
// "-p=x", "-p"): a file name that cannot be opened and is one was most
// likely meant as an option, given after the first file name.
bool NamesOption(const std::string& arg);

// What the steps of the run read of the options; invocation is the name vok
// was started by.
RUN_SETTINGS RunSettingsOf(const OPTIONS& options, const char* invocation);
