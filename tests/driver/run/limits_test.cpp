// The limits of a run in the evaluation program's terms, and which run
// gets which.
#include "driver/run/limits.hpp"

#include "tests/support/driver/fixture.hpp"

namespace {

struct Limits : Driver {};

TEST_F(Limits, GoToTheEvaluationProgramInItsTerms) {
    RUN_SETTINGS s;
    EXPECT_EQ(RunOptions(s, "", false), "");
    EXPECT_EQ(RunOptions(s, "-N=3", true), "-N=3");
    s.models = 2;
    s.timeLimit = 60;
    // vok's -n is the user's own limit: reaching it is said with -v only.
    EXPECT_EQ(RunOptions(s, "", false), "-n=2 --clingo-option=--time-limit=60 --no-limit-warning");
    EXPECT_EQ(RunOptions(s, "-N=3", false),
              "-N=3 -n=2 --clingo-option=--time-limit=60 --no-limit-warning");
    s.verbose = true;
    EXPECT_EQ(RunOptions(s, "", false), "-n=2 --clingo-option=--time-limit=60");
    // A test only asks whether an answer set exists: no limit of them.
    EXPECT_EQ(RunOptions(s, "", true), "--clingo-option=--time-limit=60");
    s.stats = true;
    EXPECT_EQ(RunOptions(s, "", false), "-n=2 --clingo-option=--time-limit=60 --outcome");
    // Another program type is not asked for an outcome line it may not know.
    s.programType = PROGRAM_TYPE::OTHER;
    EXPECT_EQ(RunOptions(s, "", false), "-n=2 --clingo-option=--time-limit=60");
}

// JSON always says whether there may be more; the consequences are asked
// of the main run only.
TEST_F(Limits, AskForTheOutcomeAndTheConsequencesWhereTheResultsNeedThem) {
    RUN_SETTINGS s;
    s.json = true;
    EXPECT_EQ(RunOptions(s, "", false), "--outcome");
    s.json = false;
    s.enumMode = ENUM_MODE::BRAVE;
    EXPECT_EQ(RunOptions(s, "-N=3", false), "-N=3 --consequences=brave");
    s.enumMode = ENUM_MODE::CAUTIOUS;
    EXPECT_EQ(RunOptions(s, "", false), "--consequences=cautious");
    EXPECT_EQ(RunOptions(s, "", true), "");
}

}  // namespace
