// The limits of a run in the evaluation program's terms: which run gets
// which, and where vok keeps the limit of answer sets itself.
#include "driver/limits.hpp"

#include "fixture.hpp"

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

// Per candidate, the evaluation program lists candidates, which vok counts
// as they stand; in one run it lists minimal answer sets and counts them.
TEST_F(Limits, OfAnswerSetsAreVoksWhenCandidatesAreTested) {
    OptionModels = 3;
    EXPECT_EQ(OwnAnswerSetLimit(), 0u);
    OptionMinimal = true;
    EXPECT_EQ(OwnAnswerSetLimit(), 3u);
    EXPECT_EQ(RunOptions("", false), "");
    OptionOneRun = true;
    EXPECT_EQ(OwnAnswerSetLimit(), 0u);
    EXPECT_EQ(RunOptions("--minimal=min", false), "--minimal=min -n=3");
    OptionOneRun = false;
    OptionIntegral = true;
    EXPECT_EQ(OwnAnswerSetLimit(), 0u);
    OptionIntegral = false;
}

TEST_F(Limits, OfTimeAreUpOnlyWithALimit) {
    EXPECT_FALSE(TimeIsUp());
    OptionTimeLimit = 5;
    EXPECT_FALSE(TimeIsUp());
    EXPECT_EQ(TimeLimitReason(), "time limit of 5 s reached before solving finished");
}

}  // namespace
