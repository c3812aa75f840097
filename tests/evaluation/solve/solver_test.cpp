#include <gtest/gtest.h>

#include <cerrno>
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
                                        "--outf=3", "--verbose=0", "-"}));
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
           OneRunScript(list, false, limit);
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
        OneRunScript(list, false, 0);
    SOLVER_OUTCOME o = Solve(call, program, COUNTED().emit());
    EXPECT_FALSE(o.finished);
    EXPECT_EQ(o.error, "time limit of 1 s reached before solving finished");
}
