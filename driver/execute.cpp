// Running the evaluation program on a program file, and the output filter
// that turns its answer sets back into the input's vocabulary.
//
// The solver's output is read line by line, whatever the length of a line.
// Text outside answer sets is copied unchanged. An answer set begins with a
// line whose first character is "{" and ends at the first "}" outside a
// quoted string, possibly some lines later. Each of its atoms is read once
// (answer_atom.hpp) and printed with "," between its arguments and no
// blanks; quoted strings are kept exactly as printed.
#include "execute.hpp"

#include <sys/wait.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <optional>
#include <string_view>

#include "base/exits.hpp"
#include "base/options.hpp"
#include "common/contract.hpp"
#include "driver/answer_atom.hpp"
#include "driver/candidate.hpp"
#include "driver/explain.hpp"
#include "driver/goal.hpp"
#include "driver/limits.hpp"
#include "driver/process.hpp"
#include "driver/show.hpp"
#include "driver/summary.hpp"
#include "representation/rule.hpp"
#include "rewriting/auxiliary.hpp"

namespace {

// What the filter carries from one line to the next, for the whole run.
struct FILTER_STATE {
    bool doFilter = false;    // inside an answer set
    bool doMinTests = false;  // answer sets are candidates of the minimality test
    bool goalHolds = false;   // an atom of the answer set is the goal
    unsigned candNum = 0;     // answer sets begun so far, counted across the run
    ANSWER answer;            // the answer set being read, without auxiliary atoms
    RULES candRules;          // rules from the rejection atoms of the answer set
    ANSWER_READER reader;
    ANSWER_TRACE trace;   // with --explain: its auxiliary atoms
    bool enough = false;  // vok's own limit of answer sets is reached: no more are read
};

FILTER_STATE& filterState() {
    static FILTER_STATE state;
    return state;
}

void beginAnswerSet(FILTER_STATE& s) {
    s.doFilter = true;
    // With --one-run the evaluation program prints only minimal answer sets.
    s.doMinTests = TestsCandidates();
    s.goalHolds = false;
    s.answer.atoms.clear();
    s.answer.rejected.reset();
    s.candRules.clear();
    s.trace.clear();
    ++s.candNum;
    s.reader = ANSWER_READER();
}

// Drops an atom of an auxiliary predicate, turns a rejection atom into
// candidate rules when candidates are tested, and adds any other atom to
// the answer set if --show shows it; the goal sees every one.
void judgeAtom(FILTER_STATE& s, ANSWER_ATOM& atom) {
    // The registries hold strong negation in the input's form, "-p".
    if (OptionProgram == PROGRAM_TYPE::PEXA && IsPexaNegation(atom.name()))
        atom.renameStart(PexaNegationPrefix.size(), "-");
    const std::string_view name = atom.name();
    const bool auxiliary = updatePredicates.contains(name) || minimalPredicates.contains(name);
    const bool rejection = auxiliary && s.doMinTests && isRejectionPred(name);
    if (auxiliary && OptionExplain) s.trace.note(atom);
    if (auxiliary && !rejection) return;

    if (rejection) {
        AddCandidateRules(atom, s.candRules);
        return;
    }
    if (IsShown(atom)) s.answer.atoms.add(atom.text);
    if ((OptionBrave || OptionCautious) && !s.goalHolds) s.goalHolds = IsGoalAtom(atom);
}

// Reads the atoms of one line of an answer set; true when the set ends in
// it. What follows the closing "}" on its line belongs to no answer set.
bool readAtoms(FILTER_STATE& s, std::string_view line) {
    return readAnswerAtoms(s.reader, line, [&s](ANSWER_ATOM& atom) { judgeAtom(s, atom); });
}

// An answer set that stands is written, and it may answer the goal.
void endAnswerSet(FILTER_STATE& s, bool lineEnded, const std::string& program,
                  const std::string& options, const std::string& file, GOAL_ANSWER& goal) {
    s.doFilter = false;
    if (s.doMinTests && !TestCandidate(s.candNum, s.candRules, program, options, file)) return;
    ANSWER& answer = s.answer;
    answer.lineEnded = lineEnded;
    if (OptionExplain) answer.rejected = ExplainAnswerSet(s.trace);
    WriteAnswer(answer);
    if (OptionBrave || OptionCautious) RecordForGoal(answer, s.goalHolds, goal);
    const std::size_t limit = OwnAnswerSetLimit();
    s.enough = limit && RunSummary().models >= limit;
}

// The file name as one shell word: in single quotes, each embedded single
// quote written as '\''.
std::string shellQuoted(const std::string& text) {
    std::string quoted = "'";
    for (char c : text) {
        if (c == '\'') quoted += "'\\''";
        else quoted += c;
    }
    quoted += '\'';
    return quoted;
}

void removeUnlessStored(const std::string& file) {
    if (OptionStore) return;
    RemoveFile(file);
    UnregisterTemporaryFile(file);
}

[[noreturn]] void cannotExecute(const std::string& program, const std::string& options,
                                const std::string& file) {
    RunSummary().error = "could not execute " + program;
    std::cerr << "Could not execute " << program;
    if (!options.empty()) std::cerr << " " << options;
    std::cerr << " " << file << ". Aborting." << std::endl;
    removeUnlessStored(file);
    SafeExit(1);
}

// The exit code of the evaluation program, or 128 + the signal that ended
// it; a status that tells neither is a failure too.
int exitCodeOf(int status) {
    if (status == -1) return 1;
    if (WIFEXITED(status)) return WEXITSTATUS(status);
    if (WIFSIGNALED(status)) return 128 + WTERMSIG(status);
    return 1;
}

// pexa reads propositional programs only; the run stops before starting it.
void refuseFirstOrderForPexa(const std::string& file) {
    if (OptionProgram != PROGRAM_TYPE::PEXA || IsPropositional) return;
    std::cerr << "Sorry, PEXA cannot process first order programs!"
              << " Aborting." << std::endl;
    removeUnlessStored(file);
    SafeExit(1);
}

void announceExecution(const std::string& program, const std::string& options,
                       const std::string& file) {
    std::cout << "Executing " << program;
    if (!options.empty()) std::cout << " " << options;
    if (OptionStore) std::cout << " " << file;
    std::cout << " ..." << std::endl;
}

// Starts "program options file" through the shell for reading its output.
// The program and its options are shell text; the file name is data.
CHILD_RUN startEvaluation(const std::string& program, const std::string& options,
                          const std::string& file) {
    std::string command = program + " " + options + " " + shellQuoted(file);
    std::cout.flush();
    CHILD_RUN run = StartShellCommand(command);
    if (!run.output) cannotExecute(program, options, file);
    return run;
}

// Calls take with every line the evaluation program prints, whatever its
// length, line end included, until take returns false; true when it
// printed anything at all.
template <class TAKE>
bool readLines(FILE* pipe, TAKE&& take) {
    char* buffer = nullptr;
    std::size_t capacity = 0;
    bool anyOutput = false;
    ssize_t length;
    errno = 0;
    while ((length = ::getline(&buffer, &capacity, pipe)) > 0) {
        anyOutput = true;
        if (!take(std::string_view(buffer, static_cast<std::size_t>(length)))) break;
        errno = 0;
    }
    std::free(buffer);
    // A line too long for the memory left is no end of the output.
    if (errno == ENOMEM && !std::feof(pipe)) InternalError("out of memory");
    return anyOutput;
}

// An answer set still open when the output ends was cut short: it is
// neither printed nor tested, and a run that lost it is no success.
int reportCutAnswerSet(int code) {
    FILTER_STATE& s = filterState();
    if (!s.doFilter) return code;
    s.doFilter = false;
    RunSummary().error =
        "the output of the evaluation program ended inside answer set " + std::to_string(s.candNum);
    std::cout.flush();
    std::cerr << "Answer set " << s.candNum
              << " is incomplete: the output of the evaluation program ended inside it."
              << std::endl;
    return code == 0 ? 1 : code;
}

// The outcome line asked for with --stats, which is noted instead of being
// printed; false for any other line.
bool noteOutcomeLine(std::string_view line, bool testRun) {
    if (!OptionSummary || !line.starts_with(DeclarationMark)) return false;
    std::optional<SOLVING_OUTCOME> outcome = ReadOutcomeLine(line);
    if (outcome) NoteOutcome(*outcome, testRun);
    return outcome.has_value();
}

}  // namespace

int ExecuteProgram(std::string program, std::string options, std::string file, bool& found,
                   GOAL_ANSWER& goal) {
    refuseFirstOrderForPexa(file);
    const bool testMode = found;
    // The options as given go on to the candidate tests, which add their
    // own limits.
    const std::string runOptions = RunOptions(options, testMode);
    if (OptionVerbosity) announceExecution(program, runOptions, file);

    found = false;
    if (!testMode) filterState().enough = false;
    ++RunSummary().calls;
    CHILD_RUN run = startEvaluation(program, runOptions, file);
    // Other program types print as they are; test mode only looks for an
    // answer set; otherwise every line goes through the filter, until vok's
    // own limit of answer sets is reached.
    const bool anyOutput = readLines(run.output, [&](std::string_view line) {
        if (!ReadsAnswerSets()) {
            std::cout << line;
        } else if (testMode) {
            if (line[0] == '{') found = true;
            else noteOutcomeLine(line, true);
        } else if (!noteOutcomeLine(line, false)) {
            return OutputFilter(std::string(line), program, options, file, goal);
        }
        return true;
    });
    if (!testMode && filterState().enough) {
        // Its answer sets are no longer wanted, whatever it would end with.
        StopShellCommand(run);
        ReportOwnLimitReached();
        removeUnlessStored(file);
        return 0;
    }
    int code = exitCodeOf(FinishShellCommand(run));

    // The shell answers 127 (not found) or 126 (not executable) when the
    // evaluation program could not be started at all.
    if ((code == 127 || code == 126) && !anyOutput) cannotExecute(program, runOptions, file);
    removeUnlessStored(file);
    return testMode ? code : reportCutAnswerSet(code);
}

bool OutputFilter(std::string chunk, std::string program, std::string options, std::string file,
                  GOAL_ANSWER& goal) {
    FILTER_STATE& s = filterState();
    if (!s.doFilter) {
        if (chunk.empty() || chunk[0] != '{') {
            std::cout << chunk;
            return true;
        }
        beginAnswerSet(s);
    }
    if (readAtoms(s, chunk)) endAnswerSet(s, chunk.back() == '\n', program, options, file, goal);
    return !s.enough;
}
