// The output filter: pass-through, stripping of auxiliary atoms, the text
// form of the answer sets, and the hand-over to the goal and minimality
// tests.
#include "driver/execute.hpp"
#include "fixture.hpp"

namespace {

struct Filter : Driver {
    bool answer = false;
    std::string witness;

    // Feeds the lines to the filter as the evaluation program printed them;
    // returns what reached standard output. program is run for candidate
    // tests, next to file.
    std::string filter(std::initializer_list<std::string> lines, const std::string& program = "true",
                       const std::string& file = "/nonexistent/main.vok") {
        Capture out(std::cout);
        for (const std::string& line : lines) OutputFilter(line, program, "", file, answer, witness);
        return out.text();
    }

    void registerAuxiliary() {
        updatePredicates.insert("q_P0", 1, PREDICATE_NAMES::IDB);
        updatePredicates.insert("-r_P1", 0, PREDICATE_NAMES::IDB);
        updatePredicates.insert("rej_P0_R1", 1, PREDICATE_NAMES::IDB);
        minimalPredicates.insert("is_true", 0, PREDICATE_NAMES::IDB);
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

TEST_F(Filter, QuotedStringsArePrintedExactly) {
    EXPECT_EQ(filter({"{p(\"a, b\",c), q(\"}{ ,(\"), r(\"x\ny\")}\n"}),
              "{p(\"a, b\",c), q(\"}{ ,(\"), r(\"x\ny\")}\n");
    // A quoted string that runs across a line end keeps it.
    EXPECT_EQ(filter({"{s(\"one\n", "two\")}\n"}), "{s(\"one\ntwo\")}\n");
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
    freshRun(2);
    updatePredicates.insert("-q_P0", 0, PREDICATE_NAMES::IDB);
    updatePredicates.insert("q_P0", 0, PREDICATE_NAMES::IDB);
    EXPECT_EQ(filter({"{NEG_p, p, NEG_q_P0, q_P0, NEG_NEG_x, xNEG_y}\n"}),
              "{-p, p, -NEG_x, xNEG_y}\n");
    // Only the pexa type reads the prefix.
    freshRun(1);
    EXPECT_EQ(filter({"{NEG_p}\n"}), "{NEG_p}\n");
}

TEST_F(Filter, GoalsSeeTheFilteredAnswerSetsInsteadOfTheOutput) {
    registerAuxiliary();
    OptionBrave = true;
    Goal = "p(\"a, b\")";
    EXPECT_EQ(filter({"{q, q_P0(a)}\n", "{p(\"a, b\"), q}\n", "{r}\n", "done\n"}), "done\n");
    EXPECT_TRUE(answer);
    EXPECT_EQ(witness, "{p(\"a, b\"), q}");

    freshRun();
    OptionCautious = true;
    Goal = "q";
    answer = true;
    witness.clear();
    EXPECT_EQ(filter({"{p, q}\n", "{q}\n"}), "");
    EXPECT_TRUE(answer);
    EXPECT_EQ(witness, "{p, q}");
    filter({"{p}\n"});
    EXPECT_FALSE(answer);
    EXPECT_EQ(witness, "{p}");
}

// The candidate number of each "Testing candidate n" line.
std::vector<unsigned> testedCandidates(const std::string& out) {
    std::vector<unsigned> numbers;
    const std::string mark = "Testing candidate ";
    for (std::size_t at = out.find(mark); at != std::string::npos; at = out.find(mark, at + 1))
        numbers.push_back(static_cast<unsigned>(std::stoul(out.substr(at + mark.size()))));
    return numbers;
}

TEST_F(Filter, CandidatesAreTestedAndNumberedAcrossTheRun) {
    ScratchFolder dir;
    registerAuxiliary();
    OptionMinimal = true;
    OptionVerbosity = true;
    std::string main = dir / "main.vok";
    // A test run that prints no answer set: every candidate is minimal, and
    // its rejection atoms turn into candidate rules instead of output.
    std::string out = filter({"{a, rej_P0_R1(b), q_P0(c)}\n", "{b}\n"}, "true", main);
    EXPECT_NE(out.find("using 2 additional minimality rules"), std::string::npos) << out;
    EXPECT_NE(out.find("using 0 additional minimality rules"), std::string::npos) << out;
    EXPECT_NE(out.find("{a}\n"), std::string::npos) << out;
    EXPECT_NE(out.find("{b}\n"), std::string::npos) << out;
    std::vector<unsigned> first = testedCandidates(out);
    ASSERT_EQ(first.size(), 2u);
    EXPECT_EQ(first[1], first[0] + 1);

    // A test run that prints an answer set drops the candidate; the numbers
    // go on counting.
    out = filter({"{c}\n", "{d}\n"}, "echo '{x}' #", main);
    EXPECT_EQ(out.find("{c}"), std::string::npos) << out;
    EXPECT_NE(out.find("Candidate " + std::to_string(first[1] + 2) + " is not minimal.\n"),
              std::string::npos)
        << out;
    EXPECT_EQ(testedCandidates(out), (std::vector<unsigned>{first[1] + 1, first[1] + 2}));
    EXPECT_TRUE(std::filesystem::is_empty(dir.path())) << "test files are removed";
}

TEST_F(Filter, IntegralRunsTestNothingAndDropRejectionAtoms) {
    registerAuxiliary();
    OptionMinimal = true;
    OptionIntegral = true;
    // A test would fail here: the folder of the main file does not exist.
    EXPECT_EQ(filter({"{a, rej_P0_R1(b)}\n"}), "{a}\n");
}

}  // namespace
