// The text form of the results: answer sets with and without explanations,
// and a goal's verdict with the witness where it is shown. (The JSON
// document takes standard output over; it is checked end to end.)
#include "driver/output/answers.hpp"
#include "driver/output/goal.hpp"
#include "tests/support/driver/fixture.hpp"
#include "tests/support/driver/output/by_text.hpp"

namespace {

struct Answers : Driver {
    // The writers begin with the settings of a run without a goal.
    void SetUp() override {
        Driver::SetUp();
        BeginAnswers(RUN_SETTINGS(), "vok", {});
    }
    // A run that asks for goal: brave or cautious reasoning.
    static GOAL_ANSWER asking(bool brave, const std::string& goal) {
        RUN_SETTINGS settings;
        settings.brave = brave;
        settings.cautious = !brave;
        settings.goal = goal;
        BeginAnswers(settings, "vok", {});
        return UnansweredGoal(settings.question());
    }
    // An answer set rejecting rule 1 of program 0, by -p of program 1.
    static ANSWER explained(const std::string& text) {
        ANSWER answer = answerOf(text);
        EXPLANATION e;
        e.rule = 1;
        e.by = "-p";
        e.byProgram = 1;
        answer.rejected = std::vector<EXPLANATION>{e};
        return answer;
    }
    static std::string written(const ANSWER& answer) {
        Capture out(std::cout);
        WriteAnswer(answer);
        return out.text();
    }
    static std::string finished(const GOAL_ANSWER& goal) {
        Capture out(std::cout);
        FinishAnswers(RUN_END{true, 0}, goal);
        return out.text();
    }
};

TEST_F(Answers, AnswerSetsOnLinesOfTheirOwn) {
    EXPECT_EQ(written(answerOf("{a, p(b,\"c, d\")}")), "{a, p(b,\"c, d\")}\n");
    EXPECT_EQ(written(answerOf("{}")), "{}\n");
    // The line is ended only where the evaluation program ended it, or
    // where explanation lines follow.
    ANSWER open = answerOf("{a}");
    open.lineEnded = false;
    EXPECT_EQ(written(open), "{a}");
    ANSWER why = explained("{a}");
    why.lineEnded = false;
    EXPECT_EQ(written(why), "{a}\n  rejected: program 0, rule 1 by -p of program 1\n");
    why.rejected->clear();
    EXPECT_EQ(written(why), "{a}");
    // A large answer set, which is written where it stands, alike.
    std::string large = "{a";
    for (int i = 0; i < 20000; ++i) large += ", p(" + std::to_string(i) + ")";
    large += "}";
    ANSWER big = explained(large);
    ASSERT_GT(big.atoms.text.size(), 1u << 16);
    EXPECT_EQ(written(big), large + "\n  rejected: program 0, rule 1 by -p of program 1\n");
    big.rejected.reset();
    big.lineEnded = false;
    EXPECT_EQ(written(big), large);
    // A run without a goal has nothing to say at its end.
    EXPECT_EQ(finished(UnansweredGoal(GOAL_QUESTION())), "");
}

// A line end or carriage return of a quoted string never begins a line of
// the text output: in an answer set, large or not, in an explanation and
// in a goal's witness it is written as clingo writes it.
TEST_F(Answers, LineEndsInStringsStayOnTheLine) {
    EXPECT_EQ(OnOneLine("p(\"a\n% step 7\r\n\"), q"), "p(\"a\\n% step 7\\r\\n\"), q");
    EXPECT_EQ(OnOneLine("p(\"a\\n\tb\")"), "p(\"a\\n\tb\")");
    EXPECT_EQ(written(answerOf("{p(\"x\ny\")}")), "{p(\"x\\ny\")}\n");
    std::string large = "{p(\"a\nb\")";
    for (int i = 0; i < 20000; ++i) large += ", p(" + std::to_string(i) + ")";
    ANSWER big = answerOf(large + "}");
    ASSERT_GT(big.atoms.text.size(), 1u << 16);
    EXPECT_EQ(written(big), OnOneLine(large) + "}\n");

    ANSWER why = explained("{-p(\"x\ny\")}");
    (*why.rejected)[0].by = "-p(\"x\ny\")";
    (*why.rejected)[0].bindings = {{"X", "\"x\ny\""}};
    EXPECT_EQ(written(why),
              "{-p(\"x\\ny\")}\n  rejected: program 0, rule 1 with X = \"x\\ny\", by "
              "-p(\"x\\ny\") of program 1\n");
    GOAL_ANSWER goal = asking(true, "a");
    ANSWER witness = answerOf("{a, b(\"\r\")}");
    RecordForGoal(witness, true, goal);
    EXPECT_EQ(finished(goal), "true.\n{a, b(\"\\r\")}\n");
}

TEST_F(Answers, GoalQueriesShowTheVerdictAndTheWitnessAtTheEnd) {
    GOAL_ANSWER goal = asking(true, "a");
    EXPECT_EQ(written(answerOf("{b}")), "");
    EXPECT_EQ(finished(goal), "false.\n");
    ANSWER witness = explained("{a, b}");
    RecordForGoal(witness, true, goal);
    EXPECT_EQ(finished(goal), "true.\n{a, b}\n  rejected: program 0, rule 1 by -p of program 1\n");

    goal = asking(false, "a");
    ANSWER holding = answerOf("{a}");
    RecordForGoal(holding, true, goal);
    EXPECT_EQ(finished(goal), "true.\n");
    ANSWER lacking = answerOf("{b}");
    RecordForGoal(lacking, false, goal);
    EXPECT_EQ(finished(goal), "false.\n{b}\n");
}

// A session's #brave or #cautious answers the question it carries, not the
// run's goal: its step writes no answer set, its verdict names its own
// reasoning, and the next step writes its answer sets again.
TEST_F(Answers, AStepAnswersTheQuestionItCarries) {
    GOAL_ANSWER runGoal = asking(true, "b");
    const GOAL_QUESTION directive{false, true, "a"};
    BeginStep(1, directive);
    GOAL_ANSWER goal = UnansweredGoal(directive);
    ANSWER lacking = answerOf("{b}");
    EXPECT_EQ(written(lacking), "");
    RecordForGoal(lacking, false, goal);
    {
        Capture out(std::cout);
        GoalAnswered(1, goal, true);
        EXPECT_EQ(out.text(), "false.\n{b}\n% cautious: step 1: 1 answer set\n");
    }
    BeginStep(2, GOAL_QUESTION());
    EXPECT_EQ(written(answerOf("{a}")), "{a}\n");
    EXPECT_FALSE(runGoal.holds);
}

}  // namespace
