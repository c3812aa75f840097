#include "evaluation/front_end/run.hpp"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#if defined(__GLIBC__)
#include <malloc.h>
#endif

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <new>

#include "common/contract.hpp"
#include "common/pipe_channel.hpp"
#include "evaluation/clingo/compact.hpp"
#include "evaluation/clingo/one_run.hpp"
#include "evaluation/clingo/translate.hpp"
#include "evaluation/front_end/session.hpp"
#include "evaluation/program/reader.hpp"
#include "evaluation/solve/solver.hpp"

#ifndef VOK_VERSION
#define VOK_VERSION "unknown"
#endif

namespace vok::evaluation {

namespace {

// The whole file, or an error text.
bool readAll(const std::string& path, std::string& content, std::string& error) {
    int fd = path == "-" ? 0 : ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        error = std::strerror(errno);
        return false;
    }
    // A file's size ahead, so that the text is not copied as it grows.
    struct stat st {};
    if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && st.st_size > 0)
        content.reserve(static_cast<std::size_t>(st.st_size) + 1);
    char buf[1 << 16];
    for (;;) {
        const ssize_t r = ReadSome(fd, buf, sizeof buf);
        if (r > 0) {
            content.append(buf, static_cast<std::size_t>(r));
        } else if (r == 0) {
            break;
        } else {
            error = std::strerror(errno);
            if (fd != 0) ::close(fd);
            return false;
        }
    }
    if (fd != 0) ::close(fd);
    return true;
}

// One message on standard error: "rox-clingo: message".
void complain(FILE_FORM form, const std::string& message) {
    WriteAll(2, ProgramName(form) + ": " + message + "\n");
}

// The text of the file ("-": standard input), or nothing after a complaint.
std::optional<std::string> fileText(FILE_FORM form, const std::string& file, bool stdinClosed) {
    // A closed standard input is no empty program.
    if (file == "-" && stdinClosed) {
        complain(form, "cannot read standard input: it is closed");
        return std::nullopt;
    }
    std::string text, error;
    if (!readAll(file, text, error)) {
        complain(form, "cannot read " + file + ": " + error);
        return std::nullopt;
    }
    return text;
}

// The program in clingo's language with the script that prints only its
// minimal answer sets (compact when compact is true and the program is
// large, clingo/compact.hpp); nothing after a complaint when the file does
// not declare its rejection predicates.
std::optional<CLINGO_TEXT> minimalityProgram(FILE_FORM form, const OPTIONS& options,
                                             PROGRAM& program, bool compact) {
    REJECTION_LIST rejections = ReadRejectionList(program.declarations);
    std::vector<DECLARATION>().swap(program.declarations);  // read: their memory goes
    if (!rejections.closed) {
        complain(form, options.file +
                           " does not declare its rejection predicates (vok writes them with "
                           "--one-run), so its minimal answer sets are unknown");
        return std::nullopt;
    }
    const std::vector<std::uint32_t> numbers = CheckRejectionList(rejections, program);
    CLINGO_TEXT text = compact ? TranslateCompact(program, options.maxint)
                               : CLINGO_TEXT{Translate(program, options.maxint), {}, {}};
    if (!text.text.empty() && text.text.back() != '\n') text.text += '\n';
    text.text += OneRunScript(rejections, numbers, text, options.minimal == MINIMALITY::STRICT,
                              options.maxModels);
    return text;
}

// clingo options that change neither what is solved nor what is printed of
// it. Any other option (--text, --mode=gringo, --warn=..., ...) may show the
// text itself, or messages about its lines, so it gets the plain text.
bool keepsCompactText(std::string_view option) {
    return option.starts_with("--time-limit=") || option == "--stats" ||
           option.starts_with("--stats=");
}

// Whether the run may hand clingo the compact text of a large program
// (clingo/compact.hpp decides, from the program, whether it is used).
bool mayCompact(const OPTIONS& options) {
    if (options.text) return false;  // --text shows the program with the file's own names
    return std::all_of(options.clingoOptions.begin(), options.clingoOptions.end(),
                       [](const std::string& o) { return keepsCompactText(o); });
}

// Where a fault is: FILE and line, or for a file vok wrote and removes
// again, the text of that line (cut short when long).
std::string placeOf(const std::string& file, int line) {
    if (!IsVokTemporaryFile(file)) return file + ": line " + std::to_string(line);
    std::string text, error;
    if (line < 1 || !readAll(file, text, error)) return "in the program vok wrote";
    std::size_t start = 0;
    for (int n = 1; n < line && start != std::string::npos; ++n) {
        start = text.find('\n', start);
        if (start != std::string::npos) ++start;
    }
    if (start == std::string::npos) return "in the program vok wrote";
    std::string rule = text.substr(start, text.find('\n', start) - start);
    constexpr std::size_t shown = 72;
    if (rule.size() > shown) rule = rule.substr(0, shown) + "...";
    return "in the program vok wrote, at \"" + rule + "\"";
}

// vok passes options to its evaluation program with -o=.
std::string remedyOf(const std::string& file, const TRANSLATE_ERROR& e) {
    if (IsVokTemporaryFile(file) && !e.option.empty())
        return e.reason + ": " + RemedyThroughVok(e.option);
    return e.what();
}

// A file that the other evaluation program reads, said as such rather than
// as the first syntax error the reader meets in it; nothing otherwise.
std::optional<std::string> otherForm(FILE_FORM form, const std::string& file,
                                     std::string_view text) {
    try {
        form == FILE_FORM::ROX ? ReadPexa(text) : ReadRox(text);
    } catch (const SYNTAX_ERROR&) {
        return std::nullopt;
    }
    bool byVok = IsVokTemporaryFile(file);
    if (form == FILE_FORM::ROX)
        return byVok ? "vok wrote a program in pexa form (-P=pexa): run vok with -p=pexa-clingo"
                     : file + " holds a program in pexa form: solve it with pexa-clingo";
    return byVok ? "vok wrote a program in rox form (-P=pexa was not given): run vok with "
                   "-p=rox-clingo, or with -P=pexa for a propositional program"
                 : file + " holds a program in rox form: solve it with rox-clingo";
}

// The program of the file's text in clingo's language, or nothing after a
// complaint about the place where it is at fault.
std::optional<CLINGO_TEXT> clingoProgram(FILE_FORM form, const OPTIONS& options, std::string text) {
    const std::string& file = options.file;
    try {
        PROGRAM program = form == FILE_FORM::ROX ? ReadRox(text) : ReadPexa(text);
        // The file's text is no longer needed: the plain translation is
        // written into its memory, and otherwise it goes. (Assigning an
        // empty string would keep its memory.)
        const bool plain = options.minimal == MINIMALITY::NONE && !mayCompact(options);
        if (plain) return CLINGO_TEXT{Translate(program, options.maxint, std::move(text)), {}, {}};
        std::string().swap(text);
        if (options.minimal != MINIMALITY::NONE)
            return minimalityProgram(form, options, program, mayCompact(options));
        if (options.consequences != CONSEQUENCES::NONE)
            return TranslateForConsequences(program, options.maxint);
        return TranslateCompact(program, options.maxint);
    } catch (const SYNTAX_ERROR& e) {
        std::optional<std::string> other = otherForm(form, file, text);
        complain(form, other ? *other : placeOf(file, e.line) + ": " + e.what());
    } catch (const TRANSLATE_ERROR& e) {
        complain(form, placeOf(file, e.line) + ": " + remedyOf(file, e));
    }
    return std::nullopt;
}

// Whether a finished run stopped at its limit of answer sets while more may
// exist. After the one-run script, clingo's exit status tells only of the
// script's last solve call, not of the minimal answer sets still unfound,
// so there the limit reached is all that is known.
bool stoppedAtLimit(const OPTIONS& options, const SOLVER_OUTCOME& outcome) {
    if (options.maxModels == 0 || outcome.answerSets < options.maxModels) return false;
    return options.minimal != MINIMALITY::NONE || !outcome.exhausted;
}

// A run cut short by -n= lists only some of the answer sets: a caller that
// takes them for all of them (a minimality test, a cautious query) would
// answer wrongly without this line.
void warnOfLimit(FILE_FORM form, const OPTIONS& options, const SOLVER_OUTCOME& outcome) {
    if (!options.limitWarning || !stoppedAtLimit(options, outcome)) return;
    const std::string n = std::to_string(options.maxModels);
    complain(form, "stopped after " + n +
                       (options.maxModels == 1 ? " answer set" : " answer sets") + " (-n=" + n +
                       "); there may be more");
}

// The program read from a large file took many small blocks, which the
// allocator keeps for this process after they are freed; while clingo runs,
// this process only holds the text it hands over, so the rest goes back to
// the system.
void giveMemoryBack() {
#if defined(__GLIBC__)
    ::malloc_trim(0);
#endif
}

// Whether SIGPIPE was ignored when the program began; Solve ignores it
// from then on, to stop clingo before anything else.
bool pipeSignalIgnoredAtStart = false;

bool pipeSignalIgnored() {
    struct sigaction action {};
    ::sigaction(SIGPIPE, nullptr, &action);
    return action.sa_handler == SIG_IGN;
}

// A reader of the answer sets that went away (rox-clingo FILE | head -2)
// ends this program as it ends other filters: by SIGPIPE, without a word,
// clingo already stopped. Where SIGPIPE was ignored from the start, the
// failed write is said as such instead, as those filters do.
void dieOfClosedOutput() {
    if (pipeSignalIgnoredAtStart) return;
    ::signal(SIGPIPE, SIG_DFL);
    sigset_t pipe;
    sigemptyset(&pipe);
    sigaddset(&pipe, SIGPIPE);
    ::sigprocmask(SIG_UNBLOCK, &pipe, nullptr);
    ::raise(SIGPIPE);
}

// With --outcome, the line that tells vok how solving ended.
void tellOutcome(const OPTIONS& options, const SOLVER_OUTCOME& outcome) {
    SOLVING_OUTCOME told;
    if (!outcome.finished) told = {SOLVING_END::UNFINISHED, outcome.error};
    else if (stoppedAtLimit(options, outcome)) told.end = SOLVING_END::LIMITED;
    if (!WriteAll(1, OutcomeLine(told)) && errno == EPIPE) dieOfClosedOutput();
}

// The consequences: clingo enumerates them itself (its last model holds
// them); after the one-run script, which prints each minimal answer set,
// they are folded here, at the cost of reading every minimal answer set.
void setConsequences(SOLVER_CALL& call, const OPTIONS& options) {
    if (options.consequences == CONSEQUENCES::NONE) return;
    const bool brave = options.consequences == CONSEQUENCES::BRAVE;
    if (options.minimal != MINIMALITY::NONE) {
        call.fold = brave ? FOLD::UNION : FOLD::INTERSECTION;
        return;
    }
    call.enumMode = std::string(brave ? BraveMode : CautiousMode);
    call.fold = FOLD::LAST;
}

// Runs clingo on the program and prints its answer sets on standard
// output, and with --stats clingo's statistics on standard error; the exit
// status.
int printAnswerSets(FILE_FORM form, const OPTIONS& options, const CLINGO_TEXT& program) {
    SOLVER_CALL call;
    call.clingo = options.clingo;
    call.options = options.clingoOptions;
    call.maxModels = options.maxModels;
    call.oneRun = options.minimal != MINIMALITY::NONE;
    call.stats = options.stats;
    setConsequences(call, options);
    call.settled = program.settled;
    if (!program.data.texts.empty()) call.dataNames = &program.data.texts;
    SOLVER_OUTCOME outcome =
        Solve(call, program.text, [](std::string_view line) { return WriteAll(1, line); });
    if (outcome.outputClosed) dieOfClosedOutput();
    if (options.stats) WriteAll(2, outcome.summary);
    if (options.outcome) tellOutcome(options, outcome);
    if (outcome.finished) {
        warnOfLimit(form, options, outcome);
        return ExitFinished;
    }
    complain(form, outcome.error);
    return ExitSolverFailed;
}

// Its own version, and that of the clingo it would run.
std::string versionText(FILE_FORM form, const std::string& clingo) {
    std::string found = ClingoVersion(clingo);
    return ProgramName(form) + " " + VOK_VERSION + "\n" +
           (found.empty() ? "no clingo found to run as \"" + clingo + "\"" : found) + "\n";
}

// What --text and --version print; a failed write is said as such.
int printText(FILE_FORM form, std::string_view text) {
    if (WriteAll(1, text)) return ExitFinished;
    complain(form, "cannot write to standard output: " + std::string(std::strerror(errno)));
    return ExitSolverFailed;
}

// The name in the message of a memory request that cannot be met.
const char* RunningProgram = "rox-clingo";

// Ends the process for want of memory; needs none.
[[noreturn]] void outOfMemory() {
    StopClingo();
    constexpr std::string_view said = ": out of memory\n";
    WriteAll(2, RunningProgram);
    WriteAll(2, said);
    ::_exit(ExitOutOfMemory);
}

}  // namespace

int Run(FILE_FORM form, int argc, char** argv) {
    pipeSignalIgnoredAtStart = pipeSignalIgnored();
    RunningProgram = form == FILE_FORM::ROX ? "rox-clingo" : "pexa-clingo";
    std::set_new_handler(outOfMemory);
    // Started with SIGCHLD ignored, clingo would be reaped by the system
    // before its exit status could be read.
    std::signal(SIGCHLD, SIG_DFL);
    const unsigned closed = EnsureStandardDescriptors();
    OPTIONS options;
    try {
        options = ParseOptions(std::vector<std::string>(argv + 1, argv + argc));
    } catch (const USAGE_ERROR& e) {
        complain(form, std::string(e.what()) + " (see " + ProgramName(form) + " --help)");
        return ExitBadUsage;
    }
    // Answer sets written to a closed standard output would be lost without a
    // word.
    if (closed & 2u) {
        complain(form, "standard output is closed");
        return ExitSolverFailed;
    }
    if (options.help) return WriteAll(1, Usage(form)) ? ExitFinished : ExitSolverFailed;
    if (options.version) return printText(form, versionText(form, options.clingo));
    if (options.session) return RunSession(form, options);

    std::optional<std::string> text = fileText(form, options.file, closed & 1u);
    if (!text) return ExitBadProgram;
    std::optional<CLINGO_TEXT> program = clingoProgram(form, options, std::move(*text));
    if (!program) return ExitBadProgram;
    if (options.text) return printText(form, program->text);
    giveMemoryBack();
    return printAnswerSets(form, options, *program);
}

}  // namespace vok::evaluation
