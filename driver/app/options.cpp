// The table of vok's options and the reading of the command line through
// it.
#include "options.hpp"

#include <charconv>
#include <climits>
#include <cstring>

#include "driver/show.hpp"

namespace {

// -O=: only "succint" selects the default rewriting.
OPTIMIZATION optimizationOf(const char* value) {
    return std::strcmp(value, "succint") == 0 ? OPTIMIZATION::SUCCINT : OPTIMIZATION::ALL;
}

// -P=: rox, pexa or any other type.
PROGRAM_TYPE programTypeOf(const char* value) {
    if (std::strcmp(value, "rox") == 0) return PROGRAM_TYPE::ROX;
    return std::strcmp(value, "pexa") == 0 ? PROGRAM_TYPE::PEXA : PROGRAM_TYPE::OTHER;
}

// -n and --models in all their forms; a separate value that is missing
// is refused once the banner is out.
void readModels(COMMAND_LINE& line, const char* value, const char* written) {
    OPTIONS::GIVEN& given = line.options.given;
    given.modelsOption = written;
    given.modelsMissing = value == nullptr;
    if (value) given.models = value;
    else given.models.reset();
}

// --enum-mode and -e in all their forms; a separate value that is missing
// is refused once the banner is out.
void readEnumMode(COMMAND_LINE& line, const char* value, const char* written) {
    OPTIONS::GIVEN& given = line.options.given;
    given.enumModeOption = written;
    given.enumMode = value ? std::optional<std::string>(value) : std::nullopt;
}

// auto, brave or cautious, as clingo names them.
std::optional<ENUM_MODE> enumModeOf(const std::string& value) {
    if (value == "auto") return ENUM_MODE::AUTO;
    if (value == "brave") return ENUM_MODE::BRAVE;
    if (value == "cautious") return ENUM_MODE::CAUTIOUS;
    return std::nullopt;
}

// An option without a value sets the flag it names; an empty value leaves
// a setting as it was, except for the reasoning mode.
#define FLAG(field) [](COMMAND_LINE& l, const char*, const char*) { l.options.field = true; }
#define REQUEST_OF(what) [](COMMAND_LINE& l, const char*, const char*) { l.request = what; }

// Made on first use, inside main: a table built before main could not report
// a failed memory request.
const std::vector<OPTION>& table() {
    static const std::vector<OPTION> options = {
        // The usage.
        {{{"-f=", MATCH::PREFIX}},
         [](COMMAND_LINE& l, const char* v, const char*) {
             if (!*v) return;
             l.options.file = v;
             l.options.store = true;
         },
         "-f=<file>",
         {"Store rewritten update program in <file>."},
         HELP_SECTION::USAGE},
        {{{"-FB=", MATCH::PREFIX}},
         [](COMMAND_LINE& l, const char* v, const char*) {
             if (*v) l.options.goal = v;
             l.options.brave = true;
         },
         "-FB=<goal>",
         {"Brave reasoning for <goal>."},
         HELP_SECTION::USAGE},
        {{{"-FC=", MATCH::PREFIX}},
         [](COMMAND_LINE& l, const char* v, const char*) {
             if (*v) l.options.goal = v;
             l.options.cautious = true;
         },
         "-FC=<goal>",
         {"Cautious reasoning for <goal>."},
         HELP_SECTION::USAGE},
        {{{"-min", MATCH::EXACT}},
         FLAG(minimal),
         "-min",
         {"Compute minimal updates."},
         HELP_SECTION::USAGE},
        {{{"-o=", MATCH::PREFIX}},
         [](COMMAND_LINE& l, const char* v, const char*) {
             if (*v) l.options.evaluationOptions = v;
         },
         "-o=<opts>",
         {"Pass <opts> as options to evaluation program."},
         HELP_SECTION::USAGE},
        {{{"-O=", MATCH::PREFIX}},
         [](COMMAND_LINE& l, const char* v, const char*) {
             l.options.optimize = optimizationOf(v);
         },
         "-O=<opt>",
         {"Rewrite using optimization <opt>."},
         HELP_SECTION::USAGE},
        {{{"-P=", MATCH::PREFIX}},
         [](COMMAND_LINE& l, const char* v, const char*) {
             l.options.programType = programTypeOf(v);
         },
         "-P=<type>",
         {"Produce output for evaluation program of <type>."},
         HELP_SECTION::USAGE},
        {{{"-p=", MATCH::PREFIX}},
         [](COMMAND_LINE& l, const char* v, const char*) {
             if (*v) l.options.program = v;
         },
         "-p=<prog>",
         {"Path to evaluation program <prog>."},
         HELP_SECTION::USAGE},
        {{{"-silent", MATCH::EXACT}},
         FLAG(silent),
         "-silent",
         {"Suppress the startup banner and blank lines."},
         HELP_SECTION::USAGE},
        {{{"-stdin", MATCH::EXACT}},
         FLAG(readStdin),
         "-stdin",
         {"Also read input from stdin."},
         HELP_SECTION::USAGE},
        {{{"-strict", MATCH::EXACT}},
         FLAG(strict),
         "-strict",
         {"Compute strict minimal updates."},
         HELP_SECTION::USAGE},
        {{{"-v", MATCH::EXACT}},
         FLAG(verbose),
         "-v",
         {"Be a bit more verbose than usual."},
         HELP_SECTION::USAGE},
        {{{"-wait", MATCH::EXACT}},
         FLAG(wait),
         "-wait",
         {"Before terminating, wait until Return is pressed."},
         HELP_SECTION::USAGE},

        // The rest of --help.
        {{{"-integral", MATCH::EXACT}},
         FLAG(integral),
         "-integral",
         {"Write the minimality test into the program instead of testing",
          "each candidate (for reading it with -f=; no answer set results)."},
         HELP_SECTION::MORE},
        {{{"-debug", MATCH::EXACT}},
         FLAG(debug),
         "-debug",
         {"Trace every generated rule and report all tables on stderr."},
         HELP_SECTION::MORE},
        {{{"-stats", MATCH::EXACT}},
         FLAG(ignoredStats),
         "-stats",
         {"Accepted, no effect."},
         HELP_SECTION::MORE},
        {{{"-h", MATCH::EXACT}, {"-help", MATCH::EXACT}},
         REQUEST_OF(REQUEST::USAGE),
         "-h, -help",
         {"Print the banner and the usage."},
         HELP_SECTION::MORE},
        {{{"--help", MATCH::EXACT}},
         REQUEST_OF(REQUEST::HELP),
         "--help",
         {"Print this text."},
         HELP_SECTION::MORE},
        {{{"--version", MATCH::EXACT}},
         REQUEST_OF(REQUEST::VERSION),
         "--version",
         {"Print the version and the build."},
         HELP_SECTION::MORE},

        // The long options of the extensions.
        {{{"--one-run", MATCH::EXACT}},
         FLAG(oneRun),
         "--one-run",
         {"With -min or -strict: the evaluation program finds the minimal",
          "answer sets in one run instead of one test per candidate."},
         HELP_SECTION::EXTENSIONS},
        {{{"--explain", MATCH::EXACT}},
         FLAG(explain),
         "--explain",
         {"After each answer set, list the rules rejected and by what."},
         HELP_SECTION::EXTENSIONS},
        {{{"--json", MATCH::EXACT}},
         FLAG(json),
         "--json",
         {"Print the result as one JSON document shaped like clingo's."},
         HELP_SECTION::EXTENSIONS},
        {{{"--stats", MATCH::EXACT}},
         FLAG(stats),
         "--stats",
         {"After the results, how the run ended (SATISFIABLE, UNSATISFIABLE,",
          "or UNKNOWN and why), the number of answer sets (+: there may be",
          "more), the runs of the evaluation program, the time of each",
          "phase, the candidates tested, the size of the written program."},
         HELP_SECTION::EXTENSIONS},
        {{{"-n", MATCH::SEPARATE},
          {"--models", MATCH::SEPARATE},
          {"--models=", MATCH::PREFIX},
          {"-n=", MATCH::PREFIX},
          // Digits only, so that a mistyped option stays unknown.
          {"-n", MATCH::DIGITS}},
         readModels,
         "-n <k>, --models=<k>",
         {"At most k answer sets (0, the default: all); with -min or",
          "-strict, k minimal ones. Also -n<k>, -n=<k> and --models <k>."},
         HELP_SECTION::EXTENSIONS},
        {{{"--time-limit=", MATCH::PREFIX}},
         [](COMMAND_LINE& l, const char* v, const char*) { l.options.given.timeLimit = v; },
         "--time-limit=<s>",
         {"Stop solving after s seconds (0: no limit), with -min or -strict",
          "the candidate tests included; the run then ends with status 3."},
         HELP_SECTION::EXTENSIONS},
        {{{"--outf=", MATCH::PREFIX}},
         [](COMMAND_LINE& l, const char* v, const char*) {
             // The later of --json and --outf= wins, as for any option given twice.
             l.options.given.outf.reset();
             if (std::strcmp(v, "0") == 0) l.options.json = false;
             else if (std::strcmp(v, "2") == 0) l.options.json = true;
             else l.options.given.outf = v;
         },
         "--outf=<n>",
         {"0: text (the default); 2: the same as --json."},
         HELP_SECTION::EXTENSIONS},
        {{{"--show=", MATCH::PREFIX}},
         [](COMMAND_LINE& l, const char* v, const char*) { l.options.given.show = v; },
         "--show=<list>",
         {"Print only the atoms of the predicates listed as NAME/ARITY,",
          "separated by \",\", strong negation as -NAME: --show=p/1,-q/0."},
         HELP_SECTION::EXTENSIONS},
        {{{"-e", MATCH::SEPARATE},
          {"--enum-mode", MATCH::SEPARATE},
          {"--enum-mode=", MATCH::PREFIX},
          {"-e=", MATCH::PREFIX}},
         readEnumMode,
         "-e <mode>, --enum-mode=<mode>",
         {"auto (the default): the answer sets; brave: the atoms true in",
          "some answer set, cautious: in every one (with -min or -strict,",
          "the minimal ones), printed as one set. Also -e=<mode>."},
         HELP_SECTION::EXTENSIONS},
        {{{"-c", MATCH::SEPARATE},
          {"--const", MATCH::SEPARATE},
          {"--const=", MATCH::PREFIX},
          {"-c=", MATCH::PREFIX}},
         [](COMMAND_LINE& l, const char* v, const char*) {
             if (v) l.options.constants.emplace_back(v);
             else l.options.given.constantMissing = true;
         },
         "-c <name>=<value>, --const <name>=<value>",
         {"Define the constant <name> as #const does, over the inputs' own",
          "#const; <value> an integer, a constant or a quoted string. Also",
          "-c=<name>=<value> and --const=<name>=<value>."},
         HELP_SECTION::EXTENSIONS},
        {{{"--session", MATCH::EXACT}},
         FLAG(session),
         "--session",
         {"Take further update programs from standard input, each a block",
          "in braces, and print the answer sets after the files and after",
          "each block, each step closed by a line \"% step N: ...\"."},
         HELP_SECTION::EXTENSIONS},
        {{{"--changes", MATCH::EXACT}},
         FLAG(changes),
         "--changes",
         {"With --session: after the first step print, for each answer set,",
          "only what changed: \"~ N\" (the answer set before that it changes),",
          "then \"-atom\" and \"+atom\" lines (JSON: \"Removed\", \"Added\")."},
         HELP_SECTION::EXTENSIONS},
    };
    return options;
}

#undef FLAG
#undef REQUEST_OF

// Whether arg names the option called n, its value (if any) included.
bool namedBy(const OPTION_NAME& n, const char* arg) {
    const std::size_t length = std::strlen(n.name);
    switch (n.match) {
        case MATCH::EXACT:
        case MATCH::SEPARATE: return std::strcmp(arg, n.name) == 0;
        case MATCH::PREFIX: return std::strncmp(arg, n.name, length) == 0;
        case MATCH::DIGITS: {
            const char* digits = arg + length;
            return std::strncmp(arg, n.name, length) == 0 && *digits &&
                   std::strspn(digits, "0123456789") == std::strlen(digits);
        }
    }
    return false;
}

// The value that arg gives the option named name, or null when arg does
// not name it that way; a separate value is the next argument, if any.
bool matches(const OPTION_NAME& n, int argc, const char* const* argv, int& i, const char*& value) {
    const char* arg = argv[i];
    value = nullptr;
    if (!namedBy(n, arg)) return false;
    if (n.match == MATCH::PREFIX || n.match == MATCH::DIGITS) value = arg + std::strlen(n.name);
    if (n.match == MATCH::SEPARATE && i + 1 < argc) value = argv[++i];
    return true;
}

// Whether arg is the name of an option that takes its value after "=",
// written without the "=": "-p" for "-p=".
bool lacksEquals(const char* arg) {
    for (const OPTION& option : table())
        for (const OPTION_NAME& name : option.names) {
            const std::size_t length = std::strlen(name.name);
            if (name.match == MATCH::PREFIX && length > 1 && name.name[length - 1] == '=' &&
                std::strlen(arg) == length - 1 && std::strncmp(arg, name.name, length - 1) == 0)
                return true;
        }
    return false;
}

// text as the shell would take it back as one word: as it is when it
// holds nothing the shell reads, otherwise in single quotes.
std::string shellWord(const std::string& text) {
    const char* plain = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789_./=:,+-@%";
    if (!text.empty() && text.find_first_not_of(plain) == std::string::npos) return text;
    std::string quoted = "'";
    for (char c : text) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return quoted + "'";
}

// Reads the option argv[i] names (moving i past a separate value); false
// when it names none.
bool readOption(COMMAND_LINE& line, int argc, const char* const* argv, int& i) {
    for (const OPTION& option : table()) {
        for (const OPTION_NAME& name : option.names) {
            const char* value = nullptr;
            if (!matches(name, argc, argv, i, value)) continue;
            option.read(line, value, name.name);
            return true;
        }
    }
    return false;
}

// A whole decimal number from 0 to max, or nothing.
std::optional<unsigned long long> numberOf(const std::string& text, unsigned long long max) {
    unsigned long long n = 0;
    auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), n);
    if (text.empty() || ec != std::errc() || end != text.data() + text.size() || n > max)
        return std::nullopt;
    return n;
}

}  // namespace

const std::vector<OPTION>& OptionTable() { return table(); }

bool NamesOption(const std::string& arg) {
    if (lacksEquals(arg.c_str())) return true;
    for (const OPTION& option : table())
        for (const OPTION_NAME& name : option.names)
            if (namedBy(name, arg.c_str())) return true;
    return false;
}

COMMAND_LINE ReadCommandLine(int argc, const char* const* argv) {
    COMMAND_LINE line;
    int i = 1;
    for (; i < argc; ++i) {
        const char* arg = argv[i];
        if (arg[0] != '-') break;
        if (std::strcmp(arg, "--") == 0) {
            ++i;
            break;
        }
        if (!readOption(line, argc, argv, i)) {
            line.request = REQUEST::UNKNOWN;
            line.unknown = arg;
            // "-p prog" for "-p=prog": the value the next argument would give.
            if (lacksEquals(arg)) {
                line.request = REQUEST::MISSING_EQUALS;
                line.meant =
                    std::string(arg) + "=" + (i + 1 < argc ? shellWord(argv[i + 1]) : "...");
            }
        }
        if (line.request != REQUEST::RUN) return line;
    }
    line.options.inputs.assign(argv + i, argv + argc);
    return line;
}

std::optional<std::string> CheckValues(OPTIONS& o) {
    const OPTIONS::GIVEN& g = o.given;
    if (g.modelsMissing) return g.modelsOption + " needs a number of answer sets (0 for all).";
    if (g.models) {
        std::optional<unsigned long long> n = numberOf(*g.models, UINT_MAX);
        if (!n)
            return g.modelsOption + " needs a number of answer sets (0 for all), not \"" +
                   *g.models + "\".";
        o.models = static_cast<std::size_t>(*n);
    }
    if (g.timeLimit) {
        // clingo takes the seconds as an int.
        std::optional<unsigned long long> s = numberOf(*g.timeLimit, INT_MAX);
        if (!s)
            return "--time-limit= needs a number of seconds (0 for none), not \"" + *g.timeLimit +
                   "\".";
        o.timeLimit = static_cast<unsigned>(*s);
    }
    if (g.outf) return "--outf= takes 0 (text) or 2 (JSON), not \"" + *g.outf + "\".";
    if (g.constantMissing) return "-c and --const need a definition NAME=VALUE.";
    if (g.show) {
        if (std::optional<std::string> bad = ReadShowList(*g.show, o.shown))
            return "--show= needs predicates written NAME/ARITY and separated by \",\" "
                   "(such as p/1,-q/0), not \"" +
                   *bad + "\".";
    }
    if (!g.enumModeOption.empty()) {
        if (!g.enumMode) return g.enumModeOption + " needs auto, brave or cautious.";
        std::optional<ENUM_MODE> mode = enumModeOf(*g.enumMode);
        if (!mode)
            return g.enumModeOption + " takes auto, brave or cautious, not \"" + *g.enumMode +
                   "\".";
        o.enumMode = *mode;
    }
    return std::nullopt;
}

RUN_SETTINGS RunSettingsOf(const OPTIONS& o, const char* invocation) {
    RUN_SETTINGS s;
    s.programType = o.programType;
    s.optimize = o.optimize;
    s.verbose = o.verbose;
    s.debug = o.debug;
    s.store = o.store;
    s.wait = o.wait;
    s.minimal = o.minimal;
    s.strict = o.strict;
    s.integral = o.integral;
    s.oneRun = o.oneRun;
    s.brave = o.brave;
    s.cautious = o.cautious;
    s.goal = o.goal;
    s.explain = o.explain;
    s.json = o.json;
    s.stats = o.stats;
    s.session = o.session;
    s.models = o.models;
    s.timeLimit = o.timeLimit;
    s.enumMode = o.enumMode;
    s.invocation = invocation;
    return s;
}
