#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include "evaluation/clingo/one_run.hpp"
#include "evaluation/solve/solver.hpp"

using namespace vok::evaluation;

TEST(Solver, SetsTheOutputOptionsAfterThoseItPassesOn) {
    SOLVER_CALL call;
    call.options = {"--seed=3"};
    call.maxModels = 2;
    EXPECT_EQ(clingoArguments(call),
              (std::vector<std::string>{"--warn=none", "--seed=3", "--models=2", "--outf=0",
                                        "--verbose=1", "-"}));
}

TEST(Solver, ReportsASolverThatCannotRunOrFails) {
    auto noOutput = [](std::string_view) { return true; };
    SOLVER_CALL missing;
    missing.clingo = "/nonexistent/clingo";
    SOLVER_OUTCOME o = Solve(missing, "a.", noOutput);
    EXPECT_FALSE(o.finished);
    EXPECT_EQ(o.error, "cannot run clingo \"/nonexistent/clingo\": No such file or directory");

    SOLVER_CALL failing;
    failing.clingo = "false";
    o = Solve(failing, "a.", noOutput);
    EXPECT_FALSE(o.finished);
    EXPECT_EQ(o.error, "clingo ended with status 1 (interrupted, or its options were refused)");
}

TEST(Solver, StopsWhenTheAnswerSetsCannotBeWritten) {
    SOLVER_CALL call;
    SOLVER_OUTCOME o = Solve(call, "a; b; c.", [](std::string_view) {
        errno = EPIPE;
        return false;
    });
    EXPECT_FALSE(o.finished);
    EXPECT_EQ(o.error, "the answer sets could not be written: Broken pipe");
    EXPECT_EQ(o.answerSets, 0u);
}

TEST(Solver, LeavesTheOneRunToItsScriptAndSetsTheHeuristicLast) {
    SOLVER_CALL call;
    call.options = {"-t2"};
    call.maxModels = 3;  // counted by the script, not by clingo
    call.oneRun = true;
    EXPECT_EQ(clingoArguments(call),
              (std::vector<std::string>{"--warn=none", "-t2", "--models=0", "--heuristic=Domain",
                                        "--outf=0", "--verbose=0", "-"}));
}

// The seconds come from the option that set the limit, never from clingo's
// summary line, which only flags that the limit was reached.
TEST(Solver, ReadsTheTimeLimitFromTheOptionThatSetIt) {
    EXPECT_EQ(TimeLimitOf({"--seed=1", "--time-limit=3"}), "3");
    EXPECT_EQ(TimeLimitOf({"--time-limit", "45", "-t2"}), "45");
    EXPECT_EQ(TimeLimitOf({"--seed=1"}), "");
    EXPECT_EQ(TimeLimitOf({"--time-limit"}), "");
    EXPECT_EQ(TimeLimitOf({"--time-limits=3"}), "");
}

namespace {

// A stand-in for clingo: a shell script that answers as given.
std::string fakeClingo(const std::string& body) {
    char name[] = "/tmp/vok-fake-clingo.XXXXXX";
    const int fd = ::mkstemp(name);
    const std::string script = "#!/bin/sh\ncat >/dev/null\n" + body;
    EXPECT_EQ(::write(fd, script.data(), script.size()), static_cast<ssize_t>(script.size()));
    ::fchmod(fd, 0700);
    ::close(fd);
    return name;
}

}  // namespace

// A time limit reached is said with the seconds of its option, and clingo's
// notes of the interruption stay off standard error unless --stats asks
// for clingo's own words; its other messages pass.
TEST(Solver, SaysATimeLimitInItsOwnWordsOnly) {
    const std::string clingo = fakeClingo(
        "printf 'Answer: 1\\na\\nSATISFIABLE\\n\\nTIME LIMIT   : 1\\n'\n"
        "printf '*** Info : (clingo): Queueing signal...\\n*** Warn : (clingo): x\\n' >&2\n"
        "printf '*** Info : (clingo): INTERRUPTED by signal!' >&2\nexit 11\n");
    for (bool stats : {false, true}) {
        SOLVER_CALL call;
        call.clingo = clingo;
        call.options = {"--time-limit=3"};
        call.stats = stats;
        SOLVER_OUTCOME o;
        ::testing::internal::CaptureStderr();
        o = Solve(call, "a.", [](std::string_view) { return true; });
        const std::string said = ::testing::internal::GetCapturedStderr();
        EXPECT_FALSE(o.finished);
        EXPECT_EQ(o.error, "time limit of 3 s reached before solving finished");
        EXPECT_EQ(o.answerSets, 1u);
        EXPECT_EQ(said, stats ? "*** Info : (clingo): Queueing signal...\n*** Warn : (clingo): x\n"
                                "*** Info : (clingo): INTERRUPTED by signal!"
                              : "*** Warn : (clingo): x\n");
    }
    ::unlink(clingo.c_str());
}

namespace {

// 4! = 24 answer sets, which clingo finds with conflicts along the way, so
// that a limit on its conflicts (--solve-limit=1) stops it in the middle.
constexpr std::string_view Permutations =
    "p(1..4). {in(P,H) : p(H)} = 1 :- p(P). :- in(P,H), in(Q,H), P < Q.\n";

// The permutations twice over, once with either of two rejection atoms:
// two minimal rejection sets of 24 answer sets each.
std::string oneRunProgram(std::size_t limit) {
    REJECTION_LIST list;
    list.closed = true;
    list.predicates = {{"rej1", 0, 1, 1}, {"rej2", 0, 1, 2}};
    return std::string(Permutations) + "rej1 :- not rej2. rej2 :- not rej1.\n" +
           OneRunScript(list, {}, CLINGO_TEXT(), false, limit);
}

// Counts what Solve would print.
struct COUNTED {
    std::size_t lines = 0;
    std::function<bool(std::string_view)> emit() {
        return [this](std::string_view) {
            ++lines;
            return true;
        };
    }
};

}  // namespace

TEST(Solver, SaysWhenALimitOfClingosOwnCutsTheAnswerSetsShort) {
    SOLVER_CALL call;
    COUNTED all;
    EXPECT_TRUE(Solve(call, Permutations, all.emit()).finished);
    EXPECT_EQ(all.lines, 24u);

    call.options = {"--solve-limit=1"};
    COUNTED cut;
    SOLVER_OUTCOME o = Solve(call, Permutations, cut.emit());
    EXPECT_FALSE(o.finished);
    EXPECT_EQ(o.error,
              "clingo stopped before it had found every answer set asked for (a limit among its "
              "options?)");
    EXPECT_LT(cut.lines, 24u);
    EXPECT_EQ(o.answerSets, cut.lines);

    // Stopped at the number asked for, clingo gave all that was asked; short
    // of it, it did not.
    call.maxModels = 2;
    EXPECT_TRUE(Solve(call, Permutations, COUNTED().emit()).finished);
    call.maxModels = 24;
    EXPECT_FALSE(Solve(call, Permutations, COUNTED().emit()).finished);
}

TEST(Solver, OneRunCountsItsLimitAcrossTheRejectionSets) {
    SOLVER_CALL call;
    call.oneRun = true;
    for (std::size_t limit : {0u, 1u, 2u, 24u, 30u, 48u, 60u}) {
        call.maxModels = limit;
        COUNTED printed;
        SOLVER_OUTCOME o = Solve(call, oneRunProgram(limit), printed.emit());
        EXPECT_TRUE(o.finished) << limit << ": " << o.error;
        EXPECT_EQ(printed.lines, limit == 0 || limit > 48 ? 48u : limit) << limit;
    }
}

TEST(Solver, OneRunFailsWhenAnEnumerationOrSearchStopsShort) {
    SOLVER_CALL call;
    call.oneRun = true;
    call.options = {"--solve-limit=1"};
    for (std::size_t limit : {0u, 30u}) {
        call.maxModels = limit;
        COUNTED printed;
        SOLVER_OUTCOME o = Solve(call, oneRunProgram(limit), printed.emit());
        EXPECT_FALSE(o.finished) << limit;
        EXPECT_LT(printed.lines, limit ? limit : 48u) << limit;
    }
}

// Twelve pigeons in eleven holes: far more than a second of search.
TEST(Solver, OneRunSaysThatItsTimeLimitWasReached) {
    SOLVER_CALL call;
    call.oneRun = true;
    call.options = {"--time-limit=1"};
    REJECTION_LIST list;
    list.closed = true;
    list.predicates = {{"rej", 0, 1, 1}};
    const std::string program =
        "p(1..12). h(1..11). {in(P,H) : h(H)} = 1 :- p(P). :- in(P,H), in(Q,H), P < Q.\n"
        "rej :- not keep. keep :- not rej.\n" +
        OneRunScript(list, {}, CLINGO_TEXT(), false, 0);
    SOLVER_OUTCOME o = Solve(call, program, COUNTED().emit());
    EXPECT_FALSE(o.finished);
    EXPECT_EQ(o.error, "time limit of 1 s reached before solving finished");
}

// clingo enumerates the consequences itself and its last model holds them;
// none is printed when there is no answer set.
TEST(Solver, PrintsTheConsequencesClingoEnumeratesAsOneLine) {
    SOLVER_CALL call;
    call.enumMode = "brave";
    call.fold = FOLD::LAST;
    EXPECT_EQ(clingoArguments(call),
              (std::vector<std::string>{"--warn=none", "--enum-mode=brave", "--models=0",
                                        "--outf=0", "--verbose=1", "-"}));
    std::string printed;
    auto take = [&](std::string_view line) {
        printed += line;
        return true;
    };
    SOLVER_OUTCOME o = Solve(call, "{a; b}. c :- a.", take);
    EXPECT_TRUE(o.finished);
    EXPECT_EQ(printed, "{a, b, c}\n");
    call.enumMode = "cautious";
    printed.clear();
    EXPECT_TRUE(Solve(call, "{a; b}. c. d :- a.", take).finished);
    EXPECT_EQ(printed, "{c}\n");
    printed.clear();
    EXPECT_TRUE(Solve(call, "a. :- a.", take).finished);
    EXPECT_EQ(printed, "");
}
