// The output filter: pass-through, stripping of auxiliary atoms, the text
// form of the answer sets, and the hand-over to the goal and minimality
// tests.
#include <optional>

#include "driver/output/answers.hpp"
#include "driver/output/goal.hpp"
#include "driver/run/execute.hpp"
#include "rewriting/auxiliary.hpp"
#include "tests/support/driver/fixture.hpp"

namespace {

struct Filter : Driver {
    GOAL_ANSWER goal;
    RUN_SETTINGS settings;
    std::optional<OUTPUT_FILTER> run;  // made by the first filter(), kept for the test

    // Feeds the lines to the filter as the evaluation program printed them;
    // returns what reached standard output.
    std::string filter(std::initializer_list<std::string> lines) {
        BeginAnswers(settings, "vok", {});
        Capture out(std::cout);
        if (!run)
            run.emplace(settings, state, OUTPUT_FILTER::CALL{"true", "", "/nonexistent/main.vok"},
                        goal);
        for (const std::string& line : lines) run->take(line);
        return out.text();
    }

    void registerAuxiliary() {
        UpdatePredicate("q", 0, 1);
        UpdatePredicate("-r", 1, 0);
        RejectionPredicate(0, 1, 1);
        minimalPredicates.insert("is_true", 0);
    }
};

TEST_F(Filter, TextOutsideAnswerSetsPassesThroughUnchanged) {
    EXPECT_EQ(filter({"solver 1.0\n", "\n", " {a}\n", "\t{b}\n", "x {c}", "Models: 1\n"}),
              "solver 1.0\n\n {a}\n\t{b}\nx {c}Models: 1\n");
}

TEST_F(Filter, AuxiliaryAtomsAreDropped) {
    registerAuxiliary();
    EXPECT_EQ(filter({"{p(a,b), q_P0(a), -r, rej_P0_R1(b), -r_P1, is_true}\n"}), "{p(a,b), -r}\n");
    EXPECT_EQ(filter({"{q_P0(a), is_true}\n"}), "{}\n");
    EXPECT_EQ(filter({"{}\n"}), "{}\n");
    // A predicate is auxiliary by its whole name only.
    EXPECT_EQ(filter({"{q_P0x(a), q_P(a)}\n"}), "{q_P0x(a), q_P(a)}\n");
}

TEST_F(Filter, AnswerSetIsRebuiltInOneTextForm) {
    EXPECT_EQ(filter({"{  p(a, b) ,q\tr(1 ,2),,s }\n"}), "{p(a,b), q, r(1,2), s}\n");
    // The line end is printed only when the closing line had one.
    EXPECT_EQ(filter({"{a}"}), "{a}");
    EXPECT_EQ(filter({"{a}\r\n"}), "{a}\n");
    // Text after the closing brace belongs to no answer set.
    EXPECT_EQ(filter({"{a} b\n"}), "{a}\n");
}

TEST_F(Filter, AnswerSetMaySpanLines) {
    registerAuxiliary();
    EXPECT_EQ(filter({"{a,\n", "   b, q_P0(\n", "c), p(d,\n", " e)\n", "}\n", "after\n"}),
              "{a, b, p(d,e)}\nafter\n");
    // A line beginning with "{" inside an open answer set continues it.
    EXPECT_EQ(filter({"{a\n", "{b}\n"}), "{a, b}\n");
}

TEST_F(Filter, QuotedStringsAreKeptWhole) {
    // A line end inside a string is written as clingo writes it, so that
    // the answer set stays on one line.
    EXPECT_EQ(filter({"{p(\"a, b\",c), q(\"}{ ,(\"), r(\"x\ny\")}\n"}),
              "{p(\"a, b\",c), q(\"}{ ,(\"), r(\"x\\ny\")}\n");
    // A quoted string that runs across a line end keeps it.
    EXPECT_EQ(filter({"{s(\"one\n", "two\")}\n"}), "{s(\"one\\ntwo\")}\n");
}

TEST_F(Filter, LongLineIsFilteredLikeAShortOne) {
    registerAuxiliary();
    std::string line = "{", want = "{";
    for (int i = 0; i < 2000; ++i) {
        std::string kept = "p(" + std::to_string(i) + ",\"text, with " + std::to_string(i) + "\")";
        line += kept + ", q_P0(" + std::to_string(i) + "), ";
        want += (i ? ", " : "") + kept;
    }
    line += "last}\n";
    want += ", last}\n";
    ASSERT_GT(line.size(), 255u * 100);
    EXPECT_EQ(filter({line}), want);
}

TEST_F(Filter, PexaNegationIsWrittenAsInTheInput) {
    freshRun(PROGRAM_TYPE::PEXA);
    settings.programType = PROGRAM_TYPE::PEXA;
    UpdatePredicate("-q", 0, 0);
    UpdatePredicate("q", 0, 0);
    EXPECT_EQ(filter({"{NEG_p, p, NEG_q_P0, q_P0, NEG_NEG_x, xNEG_y}\n"}),
              "{-p, p, -NEG_x, xNEG_y}\n");
    // Only the pexa type reads the prefix.
    freshRun(PROGRAM_TYPE::ROX);
    settings.programType = PROGRAM_TYPE::ROX;
    EXPECT_EQ(filter({"{NEG_p}\n"}), "{NEG_p}\n");
}

TEST_F(Filter, GoalsSeeTheFilteredAnswerSetsInsteadOfTheOutput) {
    registerAuxiliary();
    settings.brave = true;
    settings.goal = "p(\"a, b\")";
    goal = UnansweredGoal(settings.question());
    EXPECT_EQ(filter({"{q, q_P0(a)}\n", "{p(\"a, b\"), q}\n", "{r}\n", "done\n"}), "done\n");
    EXPECT_TRUE(goal.holds);
    ASSERT_TRUE(goal.witness);
    EXPECT_EQ(AnswerText(goal.witness->atoms), "{p(\"a, b\"), q}");
}

// The goal path of the filter for pexa: an atom is judged after NEG_ has
// become "-" and its auxiliary update atoms are gone, so the verdict and
// the witness are those of the input's vocabulary.
TEST_F(Filter, PexaGoalsAreJudgedInTheInputsVocabulary) {
    struct CASE {
        bool brave;
        const char* goal;
        std::initializer_list<std::string> lines;
        bool holds;
        const char* witness;  // "" for none
    };
    const CASE cases[] = {
        // NEG_p is read back as -p, so a goal spelt NEG_p never holds.
        {true, "NEG_p", {"{NEG_p, q}\n"}, false, ""},
        {true, "q", {"{NEG_p, NEG_q_P0, q}\n", "{p}\n"}, true, "{-p, q}"},
        {true, "q", {"{NEG_q_P0}\n", "{q_P0}\n"}, false, ""},
        // Cautious: the last answer set without the goal is the witness,
        // shown only when there is one.
        {false, "q", {"{q, NEG_p}\n", "{NEG_q}\n", "{NEG_p, NEG_q_P0}\n"}, false, "{-p}"},
        {false, "q", {"{q}\n", "{NEG_q_P0, q}\n"}, true, ""},
    };
    for (const CASE& c : cases) {
        freshRun(PROGRAM_TYPE::PEXA);
        UpdatePredicate("-q", 0, 0);
        UpdatePredicate("q", 0, 0);
        settings = RUN_SETTINGS();
        settings.programType = PROGRAM_TYPE::PEXA;
        (c.brave ? settings.brave : settings.cautious) = true;
        settings.goal = c.goal;
        goal = UnansweredGoal(settings.question());
        EXPECT_EQ(filter(c.lines), "") << c.goal;
        EXPECT_EQ(goal.holds, c.holds) << c.goal;
        const std::string shown = WitnessShown(goal) ? AnswerText(goal.witness->atoms) : "";
        EXPECT_EQ(shown, c.witness) << c.goal;
    }
}

}  // namespace
