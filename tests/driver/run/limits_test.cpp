// The limits of a run in the evaluation program's terms, and which run
// gets which.
#include "driver/run/limits.hpp"

#include "tests/support/driver/fixture.hpp"

namespace {

struct Limits : Driver {};

TEST_F(Limits, GoToTheEvaluationProgramInItsTerms) {
    EXPECT_EQ(RunOptions("", false), "");
    EXPECT_EQ(RunOptions("-N=3", true), "-N=3");
    OptionModels = 2;
    OptionTimeLimit = 60;
    EXPECT_EQ(RunOptions("", false), "-n=2 --clingo-option=--time-limit=60");
    EXPECT_EQ(RunOptions("-N=3", false), "-N=3 -n=2 --clingo-option=--time-limit=60");
    // A test only asks whether an answer set exists: no limit of them.
    EXPECT_EQ(RunOptions("", true), "--clingo-option=--time-limit=60");
    OptionSummary = true;
    EXPECT_EQ(RunOptions("", false), "-n=2 --clingo-option=--time-limit=60 --outcome");
    // Another program type is not asked for an outcome line it may not know.
    OptionProgram = PROGRAM_TYPE::OTHER;
    EXPECT_EQ(RunOptions("", false), "-n=2 --clingo-option=--time-limit=60");
}

}  // namespace
