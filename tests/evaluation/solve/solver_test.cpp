#include <gtest/gtest.h>

#include <cerrno>
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
