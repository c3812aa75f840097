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
    // vok's -n is the user's own limit: reaching it is said with -v only.
    EXPECT_EQ(RunOptions("", false), "-n=2 --clingo-option=--time-limit=60 --no-limit-warning");
    EXPECT_EQ(RunOptions("-N=3", false),
              "-N=3 -n=2 --clingo-option=--time-limit=60 --no-limit-warning");
    OptionVerbosity = true;
    EXPECT_EQ(RunOptions("", false), "-n=2 --clingo-option=--time-limit=60");
    // A test only asks whether an answer set exists: no limit of them.
    EXPECT_EQ(RunOptions("", true), "--clingo-option=--time-limit=60");
    OptionSummary = true;
    EXPECT_EQ(RunOptions("", false), "-n=2 --clingo-option=--time-limit=60 --outcome");
    // Another program type is not asked for an outcome line it may not know.
    OptionProgram = PROGRAM_TYPE::OTHER;
    EXPECT_EQ(RunOptions("", false), "-n=2 --clingo-option=--time-limit=60");
}

// JSON always says whether there may be more; the consequences are asked
// of the main run only.
TEST_F(Limits, AskForTheOutcomeAndTheConsequencesWhereTheResultsNeedThem) {
    OptionJson = true;
    EXPECT_EQ(RunOptions("", false), "--outcome");
    OptionJson = false;
    OptionEnumMode = ENUM_MODE::BRAVE;
    EXPECT_EQ(RunOptions("-N=3", false), "-N=3 --consequences=brave");
    OptionEnumMode = ENUM_MODE::CAUTIOUS;
    EXPECT_EQ(RunOptions("", false), "--consequences=cautious");
    EXPECT_EQ(RunOptions("", true), "");
}

}  // namespace
