// The entry point: reads the command line, parses the inputs, rewrites the
// update sequence, writes the program file, runs the evaluation program and
// prints the answer of a goal query.
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <charconv>
#include <climits>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <iostream>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "base/exits.hpp"
#include "base/options.hpp"
#include "common/chunks.hpp"
#include "driver/answers.hpp"
#include "driver/execute.hpp"
#include "driver/goal.hpp"
#include "driver/one_run.hpp"
#include "driver/program_file.hpp"
#include "driver/report.hpp"
#include "driver/run_state.hpp"
#include "driver/session.hpp"
#include "driver/show.hpp"
#include "driver/summary.hpp"
#include "input/parser.hpp"
#include "rewriting/minimality.hpp"
#include "rewriting/rewriting.hpp"

#ifndef VOK_BUILD_ID
#define VOK_BUILD_ID "unknown"
#endif
#ifndef VOK_VERSION
#define VOK_VERSION "unknown"
#endif

#if defined(__clang__)
#define VOK_COMPILER "clang " __clang_version__
#elif defined(__GNUC__)
#define VOK_COMPILER "g++ " __VERSION__
#else
#define VOK_COMPILER "unknown compiler"
#endif

namespace {

struct Arguments {
    std::string program;  // -p=
    std::string options;  // -o=
    std::string file;     // -f=
    bool readStdin = false;
    int firstInput = 0;
    // The values of the solver's everyday options, checked once the banner
    // is out; a value of -n or --models that is missing stays nothing.
    std::optional<std::string> models;     // -n, --models
    std::string modelsOption;              // which of them, as written
    bool modelsMissing = false;            // -n or --models ended the command line
    std::optional<std::string> timeLimit;  // --time-limit=
    std::optional<std::string> outf;       // --outf= other than 0 and 2
    std::optional<std::string> show;       // --show=
};

const char* const BuildLine = "vok [build " VOK_BUILD_ID "/" __DATE__ "   " VOK_COMPILER "]";

void printBanner(std::ostream& out) { out << BuildLine << "\n" << std::endl; }

void printUsage(std::ostream& out) {
    out << "usage:  " << WhoAmI << " {OPTIONS}"
        << " [filename [filename [...]]]\n"
        << "\n"
        << "Options:\n"
        << "-f=<file>    Store rewritten update program in <file>.\n"
        << "-FB=<goal>   Brave reasoning for <goal>.\n"
        << "-FC=<goal>   Cautious reasoning for <goal>.\n"
        << "-min         Compute minimal updates.\n"
        << "-o=<opts>    Pass <opts> as options to evaluation program.\n"
        << "-O=<opt>     Rewrite using optimization <opt>.\n"
        << "-P=<type>    Produce output for evaluation program of <type>.\n"
        << "-p=<prog>    Path to evaluation program <prog>.\n"
        << "-silent      Suppress the startup banner and blank lines.\n"
        << "-stdin       Also read input from stdin.\n"
        << "-strict      Compute strict minimal updates.\n"
        << "-v           Be a bit more verbose than usual.\n"
        << "-wait        Before terminating, wait until Return is pressed.\n"
        << "\n"
        << "Default options: -O=succint -P=rox\n"
        << std::endl;
}

// The value of arg after prefix, or null when arg does not begin with it.
const char* valueOf(const char* arg, const char* prefix) {
    std::size_t n = std::strlen(prefix);
    return std::strncmp(arg, prefix, n) == 0 ? arg + n : nullptr;
}

// -O=: only "succint" selects the default rewriting.
OPTIMIZATION optimizationOf(const char* value) {
    return std::strcmp(value, "succint") == 0 ? OPTIMIZATION::SUCCINT : OPTIMIZATION::ALL;
}

// -P=: rox, pexa or any other type.
PROGRAM_TYPE programTypeOf(const char* value) {
    if (std::strcmp(value, "rox") == 0) return PROGRAM_TYPE::ROX;
    return std::strcmp(value, "pexa") == 0 ? PROGRAM_TYPE::PEXA : PROGRAM_TYPE::OTHER;
}

// clingo's everyday options with their value in the same argument:
// --models=<k>, -n<k> (digits only, so that a mistyped option stays
// unknown), -n=<k>, --time-limit=<s>, --outf=<n>, --show=<list>; false when
// arg is none of them.
bool readSolverOption(const char* arg, Arguments& a) {
    const char* v;
    if ((v = valueOf(arg, "--models="))) {
        a.models = v;
        a.modelsOption = "--models=";
    } else if ((v = valueOf(arg, "-n="))) {
        a.models = v;
        a.modelsOption = "-n=";
    } else if ((v = valueOf(arg, "-n")) && *v && std::strspn(v, "0123456789") == std::strlen(v)) {
        a.models = v;
        a.modelsOption = "-n";
    } else if ((v = valueOf(arg, "--time-limit="))) {
        a.timeLimit = v;
    } else if ((v = valueOf(arg, "--outf="))) {
        // The later of --json and --outf= wins, as for any option given twice.
        a.outf.reset();
        if (std::strcmp(v, "0") == 0) OptionJson = false;
        else if (std::strcmp(v, "2") == 0) OptionJson = true;
        else a.outf = v;
    } else if ((v = valueOf(arg, "--show="))) {
        a.show = v;
    } else {
        return false;
    }
    return true;
}

// An option with a value ("-f=file"); false when arg is none of them. An
// empty value leaves the setting as it was, except for the reasoning mode.
bool readValueOption(const char* arg, Arguments& a) {
    const char* v;
    if ((v = valueOf(arg, "-f="))) {
        if (*v) {
            a.file = v;
            OptionStore = true;
        }
    } else if ((v = valueOf(arg, "-FB="))) {
        if (*v) Goal = v;
        OptionBrave = true;
    } else if ((v = valueOf(arg, "-FC="))) {
        if (*v) Goal = v;
        OptionCautious = true;
    } else if ((v = valueOf(arg, "-o="))) {
        if (*v) a.options = v;
    } else if ((v = valueOf(arg, "-O="))) {
        OptionOptimize = optimizationOf(v);
    } else if ((v = valueOf(arg, "-P="))) {
        OptionProgram = programTypeOf(v);
    } else if ((v = valueOf(arg, "-p="))) {
        if (*v) a.program = v;
    } else {
        return readSolverOption(arg, a);
    }
    return true;
}

// An option without a value, which sets its flag; false when arg is none
// of them.
bool readFlagOption(const char* arg, Arguments& a) {
    const std::pair<const char*, bool*> flags[] = {
        {"-integral", &OptionIntegral}, {"-min", &OptionMinimal},     {"-v", &OptionVerbosity},
        {"-debug", &OptionDebug},       {"-silent", &OptionSilent},   {"-stats", &OptionStats},
        {"-stdin", &a.readStdin},       {"-strict", &OptionStrict},   {"-wait", &OptionWait},
        {"--explain", &OptionExplain},  {"--json", &OptionJson},      {"--one-run", &OptionOneRun},
        {"--stats", &OptionSummary},    {"--session", &OptionSession}};
    for (const auto& [name, flag] : flags) {
        if (std::strcmp(arg, name) == 0) {
            *flag = true;
            return true;
        }
    }
    return false;
}

// What --help adds to the usage: the options it leaves out, the long
// options, which evaluation program computes answer sets, and the exit
// statuses.
void printMoreHelp(std::ostream& out) {
    out << "More options:\n"
        << "-integral    Write the minimality test into the program instead of testing\n"
        << "             each candidate (for reading it with -f=; no answer set results).\n"
        << "-debug       Trace every generated rule and report all tables on stderr.\n"
        << "-stats       Accepted, no effect.\n"
        << "-h, -help    Print the banner and the usage.\n"
        << "--help       Print this text.\n"
        << "--version    Print the version and the build.\n"
        << "\n"
        // The long options of the extensions, one line each.
        << "Extensions:\n"
        << "--one-run    With -min or -strict: the evaluation program finds the minimal\n"
        << "             answer sets in one run instead of one test per candidate.\n"
        << "--explain    After each answer set, list the rules rejected and by what.\n"
        << "--json       Print the result as one JSON document shaped like clingo's.\n"
        << "--stats      After the results, how the run ended (SATISFIABLE, UNSATISFIABLE,\n"
        << "             or UNKNOWN and why), the number of answer sets (+: there may be\n"
        << "             more), the runs of the evaluation program, the time of each\n"
        << "             phase, the candidates tested, the size of the written program.\n"
        << "-n <k>, --models=<k>\n"
        << "             At most k answer sets (0, the default: all); with -min or\n"
        << "             -strict, k minimal ones. Also -n<k>, -n=<k> and --models <k>.\n"
        << "--time-limit=<s>\n"
        << "             Stop solving after s seconds (0: no limit), with -min or -strict\n"
        << "             the candidate tests included; the run then ends with status 3.\n"
        << "--outf=<n>   0: text (the default); 2: the same as --json.\n"
        << "--show=<list>\n"
        << "             Print only the atoms of the predicates listed as NAME/ARITY,\n"
        << "             separated by \",\", strong negation as -NAME: --show=p/1,-q/0.\n"
        << "--session    Take further update programs from standard input, each a block\n"
        << "             in braces, and print the answer sets after the files and after\n"
        << "             each block, each step closed by a line \"% step N: ...\".\n"
        << "\n"
        << "Answer sets: -p=rox-clingo (build/rox-clingo before installing) computes them\n"
        << "with clingo; -P=pexa goes with -p=pexa-clingo. Options for it go in -o=,\n"
        << "for example -o=-N=20 for the arithmetic builtins.\n"
        << "\n"
        << "Exit status: 0 normal end; 1 the run stopped on an error; 2 a fatal scanner\n"
        << "condition; 3 the time limit was reached (or the evaluation program failed);\n"
        << "99 an internal error; 255 an unknown option; otherwise the evaluation\n"
        << "program's status.\n";
}

// --help and --version, which end the run at once; nothing when arg is
// neither.
void showLongOption(const char* arg) {
    if (std::strcmp(arg, "--help") == 0) {
        printUsage(std::cout);
        printMoreHelp(std::cout);
    } else if (std::strcmp(arg, "--version") == 0) {
        std::cout << "vok " << VOK_VERSION << "\n" << BuildLine << "\n";
    } else {
        return;
    }
    throw END_OF_RUN{0, END_OF_RUN::AT_ONCE};
}

// -help and -h show the usage on standard output and end the run well; an
// unknown option shows it on standard error and ends with status 255.
// The unknown option is named last, below the usage, where it is seen.
[[noreturn]] void showUsageAndEnd(const char* arg) {
    bool asked = std::strcmp(arg, "-help") == 0 || std::strcmp(arg, "-h") == 0;
    printBanner(std::cout);
    printUsage(asked ? std::cout : std::cerr);
    if (!asked) std::cerr << WhoAmI << ": unknown option '" << arg << "'" << std::endl;
    throw END_OF_RUN{asked ? 0 : 255, END_OF_RUN::AT_ONCE};
}

// -n <k> and --models <k>, as clingo takes them: the value is the next
// argument, whatever it begins with. False when arg is neither.
bool readSeparateValue(int argc, char** argv, int& i, Arguments& a) {
    if (std::strcmp(argv[i], "-n") != 0 && std::strcmp(argv[i], "--models") != 0) return false;
    a.modelsOption = argv[i];
    a.modelsMissing = i + 1 >= argc;
    if (a.modelsMissing) a.models.reset();
    else a.models = argv[++i];
    return true;
}

// The options up to the first argument that does not begin with "-" or
// just after "--"; the rest are input files.
Arguments readOptions(int argc, char** argv) {
    Arguments a;
    int i = 1;
    for (; i < argc; ++i) {
        const char* arg = argv[i];
        if (arg[0] != '-') break;
        if (std::strcmp(arg, "--") == 0) {
            ++i;
            break;
        }
        if (readSeparateValue(argc, argv, i, a)) continue;
        if (readValueOption(arg, a) || readFlagOption(arg, a)) continue;
        showLongOption(arg);
        showUsageAndEnd(arg);
    }
    a.firstInput = i;
    return a;
}

// Parses one input; a syntax error, which leaves the rest of the input
// unread, counts as an error like any other, so that no rule is lost
// without stopping the run.
void parseStream(FILE* in) {
    // The scanner reads large pieces into a buffer of its own, so the
    // stream needs none, which the C library would allocate on the side
    // and, for want of memory, quietly do without.
    std::setvbuf(in, nullptr, _IONBF, 0);
    parser_line = 1;
    yyin = in;
    yyrestart(in);
    if (yyparse() != 0) ++parser_errors;
}

// A file that cannot be opened is a counted error too; the system's reason
// follows on a line of its own, so the first line stays as it always was.
void parseFile(const char* name) {
    parser_file = name;
    parser_line = 0;
    FILE* in = std::fopen(name, "r");
    if (!in) {
        const int reason = errno;
        if (reason == ENOMEM) MemoryRanOut();
        yyerror("can't open input");
        yyerror(std::strerror(reason));
        ++parser_errors;
        return;
    }
    if (OptionVerbosity) std::cout << "Reading \"" << name << "\"" << std::endl;
    parseStream(in);
    std::fclose(in);
}

void parseStdin() {
    parser_file = "";
    parseStream(stdin);
}

void stopOnParserErrors() {
    if (parser_errors == 0) return;
    RunSummary().error = "the input has errors";
    std::cerr << "Aborting due to parser errors." << std::endl;
    throw END_OF_RUN{1};
}

// The -f= file, or a new temporary file in /tmp or else the working
// directory.
std::string chooseOutputFile(const Arguments& a) {
    if (OptionStore) return a.file;
    std::string name = CreateTemporaryFile("/tmp");
    if (name.empty()) name = CreateTemporaryFile("");
    if (name.empty()) {
        std::cerr << "Could not open file temp.vok. Aborting." << std::endl;
        throw END_OF_RUN{1};
    }
    return name;
}

// A whole decimal number from 0 to max, or nothing.
std::optional<unsigned long long> numberOf(const std::string& text, unsigned long long max) {
    unsigned long long n = 0;
    auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), n);
    if (text.empty() || ec != std::errc() || end != text.data() + text.size() || n > max)
        return std::nullopt;
    return n;
}

[[noreturn]] void refuseValue(const std::string& message) {
    std::cerr << message << std::endl;
    throw END_OF_RUN{1};
}

// The values of -n, --time-limit=, --outf= and --show=; one that is not
// what its option takes stops the run before any input is read.
void checkSolverOptions(const Arguments& a) {
    if (a.modelsMissing)
        refuseValue(a.modelsOption + " needs a number of answer sets (0 for all).");
    if (a.models) {
        std::optional<unsigned long long> n = numberOf(*a.models, UINT_MAX);
        if (!n)
            refuseValue(a.modelsOption + " needs a number of answer sets (0 for all), not \"" +
                        *a.models + "\".");
        OptionModels = static_cast<std::size_t>(*n);
    }
    if (a.timeLimit) {
        // clingo takes the seconds as an int.
        std::optional<unsigned long long> s = numberOf(*a.timeLimit, INT_MAX);
        if (!s)
            refuseValue("--time-limit= needs a number of seconds (0 for none), not \"" +
                        *a.timeLimit + "\".");
        OptionTimeLimit = static_cast<unsigned>(*s);
    }
    if (a.outf) refuseValue("--outf= takes 0 (text) or 2 (JSON), not \"" + *a.outf + "\".");
    if (a.show) {
        if (std::optional<std::string> bad = ReadShowList(*a.show))
            refuseValue(
                "--show= needs predicates written NAME/ARITY and separated by \",\" "
                "(such as p/1,-q/0), not \"" +
                *bad + "\".");
    }
}

// Both reasoning modes at once, or a goal of the wrong form, stop the run
// before any input is read.
void checkGoalOptions() {
    if (OptionBrave && OptionCautious) {
        std::cerr << "Cannot reason cautiously and brave concurrently." << std::endl;
        throw END_OF_RUN{1};
    }
    if ((OptionBrave || OptionCautious) && !IsValidGoal()) {
        std::cerr << "Invalid goal: " << Goal << "." << std::endl;
        throw END_OF_RUN{1};
    }
}

// The input files in order, then standard input. Errors in the files stop
// the run before standard input is read; errors in standard input stop it
// after.
void readInputs(const Arguments& a, int argc, char** argv) {
    for (int i = a.firstInput; i < argc; ++i) parseFile(argv[i]);
    stopOnParserErrors();
    if (!a.readStdin) return;
    parseStdin();
    stopOnParserErrors();
}

void rewriteUpdates() {
    UpdatesExist = !UpdateIDs.empty();
    if (!UpdatesExist) {
        // Nothing to rewrite, but the candidates are still tested: their test
        // programs need the global minimality part, without which the empty
        // answer set, which rejects nothing, would count as not minimal.
        if ((OptionMinimal || OptionStrict) && !OptionIntegral) {
            const REWRITING_SETTINGS settings = RunRewritingSettings();
            REWRITING r{RunTranslation(), settings};
            addMinRules(r, 0);
        }
        return;
    }
    if (OptionVerbosity) std::cout << "Rewriting updates ..." << std::endl;
    UpdateRewriting(UpdateIDs, Constraints, RunRewritingSettings(), RunTranslation());
}

// Why nothing was solved, or the answer sets were not read, for --stats.
void noteUnsolved(const Arguments& a, int status) {
    if (a.program.empty())
        RunSummary().error = "nothing was solved: no evaluation program was given (-p=)";
    else if (!ReadsAnswerSets() && status == 0)
        RunSummary().error =
            "the output of an evaluation program of a type other than rox and "
            "pexa is not read";
}

// The results name vok and its inputs, standard input last.
void beginAnswers(const Arguments& a, int argc, char** argv) {
    std::vector<std::string> inputs(argv + a.firstInput, argv + argc);
    if (a.readStdin || OptionSession) inputs.push_back("<stdin>");
    BeginAnswers(std::string("vok ") + VOK_VERSION, inputs);
}

// Standard output gets its buffer before anything is written, of the size
// and mode the C library would choose, which would otherwise allocate it on
// the side and, for want of memory, quietly write byte by byte.
void bufferStandardOutput() {
    static char buffer[BUFSIZ];
    std::size_t size = BUFSIZ;
    struct stat st {};
    if (::fstat(STDOUT_FILENO, &st) == 0 && st.st_blksize > 0 &&
        static_cast<std::size_t>(st.st_blksize) < size)
        size = static_cast<std::size_t>(st.st_blksize);
    std::setvbuf(stdout, buffer, ::isatty(STDOUT_FILENO) ? _IOLBF : _IOFBF, size);
}

// The whole run; the status of its normal end.
int run(int argc, char** argv) {
    WhoAmI = argc > 0 ? argv[0] : "vok";
    EndRunWhenMemoryRunsOut();
    bufferStandardOutput();
    // Started with SIGCHLD ignored, the evaluation program would be reaped
    // by the system before vok could learn how it ended.
    std::signal(SIGCHLD, SIG_DFL);
    Arguments args = readOptions(argc, argv);
    // Before the results begin, so that a refused session prints nothing
    // else (such as the summary that --stats would add).
    if (OptionSession)
        CheckSessionOptions(args.program, args.readStdin, args.timeLimit && *args.timeLimit != "0");
    beginAnswers(args, argc, argv);
    if (!OptionSilent) printBanner(std::cout);
    checkGoalOptions();
    checkSolverOptions(args);
    if (!OptionSession) CheckOneRunOptions();

    initBuiltins();
    StartPhase(PHASE::READING);
    readInputs(args, argc, argv);
    if (OptionSession) RunSession({args.program, args.options});
    StartPhase(PHASE::REWRITING);
    rewriteUpdates();
    if (OptionVerbosity) PrintStatistics(std::cout, RunTranslation());
    if (OptionDebug) PrintDebugReport(std::cerr, RunTranslation());

    StartPhase(PHASE::WRITING);
    std::string file = chooseOutputFile(args);
    StoreToFile(RunTranslation(), file, OptionIntegral, nullptr);

    int status = 0;
    bool found = false;
    GOAL_ANSWER goal = UnansweredGoal();
    StartPhase(PHASE::SOLVING);
    if (!args.program.empty()) {
        const std::string options = OptionOneRun ? OneRunOptions(args.options) : args.options;
        status = ExecuteProgram(args.program, options, file, found, goal);
        if (OptionOneRun && OptionVerbosity && status == 0) ReportOneRun();
    } else if (!OptionStore) {
        RemoveFile(file);
        UnregisterTemporaryFile(file);
    }

    // Other program types print the evaluation program's output unread.
    const bool evaluated = !args.program.empty() && ReadsAnswerSets();
    if (!evaluated) noteUnsolved(args, status);
    FinishAnswers(RUN_END{evaluated, status}, goal);
    if (OptionVerbosity) std::cout << std::endl;
    return status;
}

}  // namespace

int main(int argc, char** argv) {
    RunToEnd([&] { return run(argc, argv); });
}
