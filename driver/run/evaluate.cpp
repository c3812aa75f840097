// One run of the evaluation program: started directly, with no shell
// between, in a process group of its own, its output read line by line, its end told by
// its exit code.
#include "evaluate.hpp"

#include <sys/wait.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <optional>
#include <vector>

#include "base/exits.hpp"
#include "common/contract.hpp"
#include "driver/output/summary.hpp"
#include "driver/run/limits.hpp"
#include "driver/run/process.hpp"

namespace {

[[noreturn]] void cannotExecute(const RUN_SETTINGS& settings, const std::string& program,
                                const std::string& options, const std::string& file) {
    RunSummary().error = "could not execute " + program;
    std::cerr << "Could not execute " << program;
    if (!options.empty()) std::cerr << " " << options;
    std::cerr << " " << file << ". Aborting." << std::endl;
    RemoveUnlessStored(settings, file);
    throw END_OF_RUN{1};
}

// The exit code of the evaluation program, or 128 + the signal that ended
// it; a status that tells neither is a failure too.
int exitCodeOf(int status) {
    if (status == -1) return 1;
    if (WIFEXITED(status)) return WEXITSTATUS(status);
    if (WIFSIGNALED(status)) return 128 + WTERMSIG(status);
    return 1;
}

void announceExecution(const RUN_SETTINGS& settings, const std::string& program,
                       const std::string& options, const std::string& file) {
    std::cout << "Executing " << program;
    if (!options.empty()) std::cout << " " << options;
    if (settings.store) std::cout << " " << file;
    std::cout << " ..." << std::endl;
}

// Starts the program with the words of its options and the file as its
// arguments, for reading its output. Nothing of them is shell text: a
// path with blanks or an option with ";" reaches the program as written.
CHILD_RUN startEvaluation(const RUN_SETTINGS& settings, const std::string& program,
                          const std::string& options, const std::string& file) {
    std::vector<std::string> argv = SplitOptions(options);
    argv.insert(argv.begin(), program);
    argv.push_back(file);
    std::cout.flush();
    CHILD_RUN run = StartProgram(argv);
    if (!run.output) cannotExecute(settings, program, options, file);
    return run;
}

// Calls take with every line the evaluation program prints, whatever its
// length, line end included, until take returns false.
template <class TAKE>
void readLines(FILE* pipe, TAKE&& take) {
    LINE_BUFFER buffer;
    ssize_t length;
    errno = 0;
    while ((length = buffer.next(pipe)) > 0) {
        if (!take(std::string_view(buffer.text, static_cast<std::size_t>(length)))) break;
        errno = 0;
    }
    // A line too long for the memory left is no end of the output.
    if (errno == ENOMEM && !std::feof(pipe)) throw INTERNAL_ERROR{"out of memory"};
}

}  // namespace

void RemoveUnlessStored(const RUN_SETTINGS& settings, const std::string& file) {
    if (settings.store) return;
    RemoveFile(file);
    UnregisterTemporaryFile(file);
}

// The outcome line asked for with --stats or --json, noted instead of being
// printed; false for any other line.
bool NoteOutcomeLine(const RUN_SETTINGS& settings, std::string_view line, bool testRun) {
    if (!AsksOutcome(settings) || !line.starts_with(DeclarationMark)) return false;
    std::optional<SOLVING_OUTCOME> outcome = ReadOutcomeLine(line);
    if (outcome) NoteOutcome(*outcome, testRun);
    return outcome.has_value();
}

EVALUATION_END RunEvaluation(const RUN_SETTINGS& settings, const std::string& program,
                             const std::string& options, const std::string& file, bool testRun,
                             const std::function<bool(std::string_view)>& take) {
    const std::string runOptions = RunOptions(settings, options, testRun);
    if (settings.verbose) announceExecution(settings, program, runOptions, file);

    ++RunSummary().calls;
    CHILD_RUN run = startEvaluation(settings, program, runOptions, file);
    // Other program types print as they are.
    bool stopped = false;
    readLines(run.output, [&](std::string_view line) {
        if (!settings.readsAnswerSets()) {
            std::cout << line;
            return true;
        }
        stopped = !take(line);
        return !stopped;
    });
    if (stopped) {
        StopProgram(run);
        return {0, true};
    }
    const int code = exitCodeOf(FinishProgram(run));
    RemoveUnlessStored(settings, file);
    return {code, false};
}
