#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <string>
#include <vector>

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
