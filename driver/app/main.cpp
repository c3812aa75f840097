// The entry point: a run as a pipeline of steps. It reads the command
// line, parses the inputs, rewrites the update sequence, writes the program
// file, runs the evaluation program and prints the results.
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "base/exits.hpp"
#include "common/chunks.hpp"
#include "driver/app/help.hpp"
#include "driver/app/options.hpp"
#include "driver/output/answers.hpp"
#include "driver/output/goal.hpp"
#include "driver/output/mentions.hpp"
#include "driver/output/report.hpp"
#include "driver/output/summary.hpp"
#include "driver/run/execute.hpp"
#include "driver/run/one_run.hpp"
#include "driver/run/process.hpp"
#include "driver/run/program_file.hpp"
#include "driver/run_state.hpp"
#include "driver/session/session.hpp"
#include "driver/show.hpp"
#include "input/includes.hpp"
#include "input/parser.hpp"
#include "rewriting/minimality.hpp"
#include "rewriting/rewriting.hpp"

namespace {

// Parses one input; a syntax error, which leaves the rest of the input
// unread, counts as an error like any other, so that no rule is lost
// without stopping the run.
void parseStream(PARSER& parser, FILE* in, INPUT_DIRECTIVES& directives) {
    // The scanner reads large pieces into a buffer of its own, so the
    // stream needs none, which the C library would allocate on the side
    // and, for want of memory, quietly do without.
    std::setvbuf(in, nullptr, _IONBF, 0);
    // #include directives are read relative to this input.
    const INCLUDES includes(parser);
    ParseStream(parser, in, directives);
}

// A file that cannot be opened is a counted error too; the system's reason
// follows on a line of its own, so the first line stays as it always was.
// False when it could not be opened.
bool parseFile(PARSER& parser, const char* name, INPUT_DIRECTIVES& directives) {
    parser.file = name;
    parser.line = 0;
    FILE* in = std::fopen(name, "r");
    if (!in) {
        const int reason = errno;
        if (reason == ENOMEM) MemoryRanOut();
        yyerror(parser, "can't open input");
        yyerror(parser, std::strerror(reason));
        ++parser.errors;
        return false;
    }
    if (parser.settings.verbose) std::cout << "Reading \"" << name << "\"" << std::endl;
    parseStream(parser, in, directives);
    std::fclose(in);
    return true;
}

void parseStdin(PARSER& parser, INPUT_DIRECTIVES& directives) {
    parser.file = "";
    parseStream(parser, stdin, directives);
}

// optionAsFile: a file that could not be opened is named as an option is;
// the options ended at an earlier file name, which the last line says.
void stopOnParserErrors(const PARSER& parser, bool optionAsFile) {
    if (parser.errors == 0) return;
    RunSummary().error = "the input has errors";
    std::cerr << "Aborting due to parser errors." << std::endl;
    if (optionAsFile)
        std::cerr << parser.settings.invocation << ": options come before the file names"
                  << std::endl;
    throw END_OF_RUN{1};
}

// A new temporary file in the folder TMPDIR names; a TMPDIR that cannot
// take it ends the run rather than put the file elsewhere.
std::string temporaryFileIn(const char* tmpdir) {
    std::string name = CreateTemporaryFile(tmpdir);
    if (!name.empty()) return name;
    const int reason = errno;
    if (reason == ENOMEM) MemoryRanOut();
    std::cerr << "Could not create a temporary file in " << tmpdir
              << " (TMPDIR): " << std::strerror(reason) << ". Aborting." << std::endl;
    throw END_OF_RUN{1};
}

// The -f= file, or a new temporary file in TMPDIR, or without it in /tmp
// or else the working directory.
std::string chooseOutputFile(const OPTIONS& o) {
    if (o.store) return o.file;
    const char* tmpdir = std::getenv("TMPDIR");
    if (tmpdir && *tmpdir) return temporaryFileIn(tmpdir);
    std::string name = CreateTemporaryFile("/tmp");
    if (name.empty()) name = CreateTemporaryFile("");
    if (name.empty()) {
        std::cerr << "Could not open file temp.vok. Aborting." << std::endl;
        throw END_OF_RUN{1};
    }
    return name;
}

[[noreturn]] void refuseValue(const std::string& message) {
    std::cerr << message << std::endl;
    throw END_OF_RUN{1};
}

// The command line as a record; --help, --version, -h, -help and an
// unknown option end the run here. -help and -h show the usage on standard
// output and end the run well; an unknown option shows it on standard
// error, named last, below the usage, where it is seen, and ends with
// status 255.
OPTIONS readOptions(int argc, char** argv, const char* invocation) {
    COMMAND_LINE line = ReadCommandLine(argc, argv);
    switch (line.request) {
        case REQUEST::RUN: return std::move(line.options);
        case REQUEST::HELP:
            PrintUsage(std::cout, invocation);
            PrintMoreHelp(std::cout);
            throw END_OF_RUN(0, END_OF_RUN::AT_ONCE);
        case REQUEST::VERSION: PrintVersion(std::cout); throw END_OF_RUN(0, END_OF_RUN::AT_ONCE);
        case REQUEST::USAGE:
            PrintBanner(std::cout);
            PrintUsage(std::cout, invocation);
            throw END_OF_RUN(0, END_OF_RUN::AT_ONCE);
        case REQUEST::UNKNOWN:
            PrintBanner(std::cout);
            PrintUsage(std::cerr, invocation);
            std::cerr << invocation << ": unknown option '" << line.unknown << "'" << std::endl;
            throw END_OF_RUN(255, END_OF_RUN::AT_ONCE);
        case REQUEST::MISSING_EQUALS:
            // A slip, not a question: one line, no banner and no usage.
            std::cerr << invocation << ": unknown option '" << line.unknown << "'; did you mean "
                      << line.meant << "?" << std::endl;
            throw END_OF_RUN(255, END_OF_RUN::AT_ONCE);
    }
    throw INTERNAL_ERROR{"unknown request of the command line"};
}

// --enum-mode=brave or cautious answers for every atom at once, from every
// answer set: a goal, --explain (whose rules are those of one answer set),
// a session and a limit on the answer sets are refused with it. With -min
// or -strict (not -integral) the evaluation program finds the minimal
// answer sets in its one run, as --one-run has it, and folds them.
std::optional<std::string> consequenceRefusal(OPTIONS& o) {
    if (o.enumMode == ENUM_MODE::AUTO) return std::nullopt;
    const std::string mode =
        std::string("--enum-mode=") + (o.enumMode == ENUM_MODE::BRAVE ? "brave" : "cautious");
    if (o.brave || o.cautious)
        return mode +
               " cannot be combined with a goal (-FB=, -FC=): it answers for every "
               "atom at once.";
    if (o.explain) return mode + " cannot be combined with --explain.";
    if (o.session) return mode + " cannot be combined with --session.";
    if (o.models)
        return mode + " needs every answer set, so it takes no -n " + std::to_string(o.models) +
               ".";
    if ((o.minimal || o.strict) && !o.integral) o.oneRun = true;
    return std::nullopt;
}

// Both reasoning modes at once, a goal of the wrong form, or a value that
// its option does not take stop the run before any input is read: the
// message that refuses the first, said once the results have begun (a
// JSON document then closes with it), or nothing. Settles the values the
// options read meanwhile.
std::optional<std::string> optionRefusal(OPTIONS& o, const char* invocation) {
    if (o.brave && o.cautious) return "Cannot reason cautiously and brave concurrently.";
    if (o.brave || o.cautious)
        if (std::optional<std::string> refusal = GoalRefusal(o.goal, invocation)) return refusal;
    if (std::optional<std::string> refusal = CheckValues(o)) return refusal;
    if (o.changes && !o.session)
        return "--changes needs --session: it tells each step by what changed since the last.";
    return consequenceRefusal(o);
}

// The definitions of -c and --const, which the inputs' own #const do not
// change; a malformed one stops the run before any input is read.
INPUT_DIRECTIVES commandLineDirectives(const OPTIONS& o) {
    INPUT_DIRECTIVES directives;
    for (const std::string& definition : o.constants)
        if (std::optional<std::string> refusal = DefineOnCommandLine(directives, definition))
            refuseValue(*refusal);
    return directives;
}

// The input files in order, then standard input. Errors in the files stop
// the run before standard input is read; errors in standard input stop it
// after.
void readInputs(const OPTIONS& o, PARSER& parser, INPUT_DIRECTIVES& directives) {
    bool optionAsFile = false;
    for (const std::string& input : o.inputs)
        if (!parseFile(parser, input.c_str(), directives) && NamesOption(input))
            optionAsFile = true;
    stopOnParserErrors(parser, optionAsFile);
    if (!o.readStdin) return;
    parseStdin(parser, directives);
    stopOnParserErrors(parser, false);
}

// A predicate that --show= or a goal names and no program mentions is most
// likely misspelt: the results would say nothing of it without a word.
void warnOfUnmentioned(const OPTIONS& o) {
    if (!o.shown.all) WarnOfUnmentionedShown(std::cerr, o.shown.predicates);
    if (o.brave || o.cautious) WarnOfUnmentionedGoal(std::cerr, o.goal);
}

// The path of vok's own executable; "" when the system does not tell it.
std::string ownExecutable() {
    std::vector<char> path(PATH_MAX + 1);
    const ssize_t length = ::readlink("/proc/self/exe", path.data(), path.size());
    if (length <= 0 || static_cast<std::size_t>(length) >= path.size()) return "";
    return std::string(path.data(), static_cast<std::size_t>(length));
}

// Without -p= (and without -f=, which asks for the program file only), the
// evaluation program of the program type next to vok, else in PATH, as
// execvp would search it; other types have none and only write the file.
void chooseDefaultProgram(OPTIONS& o, const char* invocation) {
    if (!o.program.empty() || o.store) return;
    const char* name = o.programType == PROGRAM_TYPE::ROX    ? "rox-clingo"
                       : o.programType == PROGRAM_TYPE::PEXA ? "pexa-clingo"
                                                             : nullptr;
    if (!name) return;
    o.program = FindDefaultProgram(name, ownExecutable(), ExecutableSearchPath());
    if (!o.program.empty()) return;
    std::cerr << invocation << ": no evaluation program given (-p=) and " << name
              << " not found next to vok or in PATH" << std::endl;
    throw END_OF_RUN(1, END_OF_RUN::AT_ONCE);
}

// What the parse needs of the command line.
PARSE_SETTINGS parseSettings(const OPTIONS& o, const char* invocation) {
    PARSE_SETTINGS s;
    s.programType = o.programType;
    s.explain = o.explain;
    s.verbose = o.verbose;
    s.invocation = invocation;
    return s;
}

void rewriteSequence(const RUN_SETTINGS& settings, SEQUENCE& sequence, TRANSLATION& translation) {
    // An empty sequence's program file is written in the program type's form too.
    translation.notation = settings.notation();
    if (sequence.programs.empty()) {
        // Nothing to rewrite, but the candidates are still tested: their test
        // programs need the global minimality part, without which the empty
        // answer set, which rejects nothing, would count as not minimal.
        if ((settings.minimal || settings.strict) && !settings.integral) {
            REWRITING r{translation, RunRewritingSettings(settings)};
            addMinRules(r, 0);
        }
        return;
    }
    if (settings.verbose) std::cout << "Rewriting updates ..." << std::endl;
    UpdateRewriting(sequence.programs, sequence.constraints, RunRewritingSettings(settings),
                    translation);
}

// The sequence's translation, and the size of the program file it makes
// for the summary (--stats; with -integral the minimality part is in it).
void rewriteUpdates(const RUN_SETTINGS& settings, RUN_STATE& run) {
    rewriteSequence(settings, run.sequence, run.translation);
    const TRANSLATION& t = run.translation;
    const bool integral = settings.integral;
    RUN_SUMMARY& summary = RunSummary();
    summary.programRules = t.ruleCount() + (integral ? t.minRules.size() : 0);
    summary.programConstraints = t.constraints.size() + (integral ? t.minConstraints.size() : 0);
}

// Why nothing was solved, or the answer sets were not read, for --stats.
void noteUnsolved(const OPTIONS& o, const RUN_SETTINGS& settings, int status) {
    if (o.program.empty())
        RunSummary().error = "nothing was solved: no evaluation program was given (-p=)";
    else if (!settings.readsAnswerSets() && status == 0)
        RunSummary().error =
            "the output of an evaluation program of a type other than rox and "
            "pexa is not read";
}

// The results name vok and its inputs, standard input last.
void beginAnswers(const OPTIONS& o, const RUN_SETTINGS& settings) {
    std::vector<std::string> inputs = o.inputs;
    if (o.readStdin || o.session) inputs.push_back("<stdin>");
    BeginAnswers(settings, std::string("vok ") + VOK_VERSION, inputs);
}

// A run that ended well without an answer set prints nothing in text (the
// empty list), and a goal's verdict then holds vacuously: said on standard
// error, with -silent too, as it is the only sign. -integral's program has
// no answer set by design; per candidate, candidates tested and none kept
// means the evaluation program's own limit (-o=-n=k) cut the list short.
void sayWhenNoAnswerSet(const OPTIONS& o) {
    const RUN_SUMMARY& s = RunSummary();
    if (s.models != 0 || s.error || s.tested != 0) return;
    if ((o.minimal || o.strict) && o.integral) return;
    std::cout.flush();
    std::cerr << NoAnswerSetLine(o.brave, o.cautious) << std::endl;
}

// Writes the program file, runs the evaluation program on it and ends the
// results; the status the run ends with.
int solve(const OPTIONS& o, const RUN_SETTINGS& settings, const RUN_STATE& run) {
    StartPhase(PHASE::WRITING);
    std::string file = chooseOutputFile(o);
    AnnounceStoring(settings, file);
    StoreToFile(run.translation, file,
                o.integral ? PROGRAM_FILE::INTEGRAL
                : o.oneRun ? PROGRAM_FILE::ONE_RUN
                           : PROGRAM_FILE::PLAIN,
                nullptr);

    int status = 0;
    GOAL_ANSWER goal = UnansweredGoal(settings.question());
    StartPhase(PHASE::SOLVING);
    if (!o.program.empty()) {
        const std::string& given = o.evaluationOptions;
        status = ExecuteProgram(settings, run, o.program,
                                o.oneRun ? OneRunOptions(settings, given) : given, file, goal);
        if (o.oneRun && o.verbose && status == 0) ReportOneRun(settings);
    } else if (!o.store) {
        RemoveFile(file);
        UnregisterTemporaryFile(file);
    }

    // Other program types print the evaluation program's output unread.
    const bool evaluated = !o.program.empty() && settings.readsAnswerSets();
    if (!evaluated) noteUnsolved(o, settings, status);
    FinishAnswers(RUN_END{evaluated, status}, goal);
    if (evaluated && status == 0) sayWhenNoAnswerSet(o);
    if (o.verbose) std::cout << std::endl;
    return status;
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

// The whole run; the status of its normal end. wait: -wait was given, for
// the end of the run; slot: where the run keeps its sequence and
// translation.
int run(int argc, char** argv, bool& wait, std::optional<RUN_STATE>& slot) {
    const char* const invocation = argc > 0 ? argv[0] : "vok";
    EndRunWhenMemoryRunsOut();
    RUN_STATE& state = slot.emplace();
    bufferStandardOutput();
    // Started with SIGCHLD ignored, the evaluation program would be reaped
    // by the system before vok could learn how it ended.
    std::signal(SIGCHLD, SIG_DFL);
    OPTIONS options = readOptions(argc, argv, invocation);
    wait = options.wait;
    chooseDefaultProgram(options, invocation);
    const std::optional<std::string> refusal = optionRefusal(options, invocation);
    const RUN_SETTINGS settings = RunSettingsOf(options, invocation);
    // Before the results begin, so that a refused session prints nothing
    // else (such as the summary that --stats would add).
    if (options.session) {
        const std::optional<std::string>& limit = options.given.timeLimit;
        CheckSessionOptions(settings, options.program, options.readStdin, limit && *limit != "0");
    }
    beginAnswers(options, settings);
    if (!options.silent) PrintBanner(std::cout);
    if (refusal) refuseValue(*refusal);
    if (!options.session) CheckOneRunOptions(settings);

    if (options.programType == PROGRAM_TYPE::ROX) initBuiltins();
    StartPhase(PHASE::READING);
    INPUT_DIRECTIVES directives = commandLineDirectives(options);
    PARSER parser{state.sequence, parseSettings(options, invocation)};
    readInputs(options, parser, directives);
    // A session's later blocks may still bring what the command line names.
    if (!options.session) warnOfUnmentioned(options);
    state.shown = options.shown;
    if (directives.showSeen) state.shown.also(directives.shown);
    if (options.session)
        RunSession({options.program, options.evaluationOptions, std::move(directives),
                    options.inputs, options.changes, settings, state.shown},
                   parser);
    StartPhase(PHASE::REWRITING);
    rewriteUpdates(settings, state);
    if (options.verbose) PrintStatistics(std::cout, state.translation, settings);
    if (options.debug) PrintDebugReport(std::cerr, state.translation, settings);
    return solve(options, settings, state);
}

}  // namespace

int main(int argc, char** argv) {
    bool wait = false;
    // The run's sequence and translation live in main's frame, which
    // RunToEnd never returns to: they stay reachable to the end of the
    // process and are never destroyed, as freeing millions of rules at the
    // end would only cost time. Made inside the run, where a memory request
    // that cannot be met ends it with its message.
    std::optional<RUN_STATE> state;
    RunToEnd([&] { return run(argc, argv, wait, state); }, wait);
}
