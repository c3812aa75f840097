// Two sequences in one process: each read by a parser of its own into a
// SEQUENCE of its own and translated into a TRANSLATION of its own. The
// name tables (predicates, constants) are shared by the whole process and
// only grow, so one sequence's names never change the other's.
#include <gtest/gtest.h>

#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "input/parser.hpp"
#include "rewriting/rewriting.hpp"
#include "tests/support/capture.hpp"
#include "tests/support/rewriting/fresh_run.hpp"

namespace {

struct TwoSequences : ::testing::Test {
    void SetUp() override { freshRun(); }
    void TearDown() override { freshRun(); }

    static std::string text(const TRANSLATION& t) {
        std::ostringstream out;
        PrintTranslatedRules(out, t, 0, t.ruleCount(), "\n", t.notation);
        out << "\n";
        PrintList(out, t.constraints, "\n", t.notation);
        return out.str();
    }
    // Whether every line of part is a line of whole.
    static bool holdsEveryLine(const std::string& whole, const std::string& part) {
        std::istringstream w(whole), p(part);
        std::set<std::string> lines;
        for (std::string line; std::getline(w, line);) lines.insert(line);
        for (std::string line; std::getline(p, line);)
            if (!lines.count(line)) return false;
        return true;
    }
    // The translation of input alone, in a run that has read nothing else.
    static std::string alone(const std::string& input) {
        freshRun();
        SEQUENCE sequence;
        PARSER parser(sequence);
        INPUT_DIRECTIVES directives;
        EXPECT_EQ(ParseText(parser, input, directives), 0);
        TRANSLATION t;
        UpdateRewriting(sequence.programs, sequence.constraints, REWRITING_SETTINGS(), t);
        return text(t);
    }
};

const char* const First = "{ p(a). q(X) :- p(X). } { -q(a). } { r :- not q(a). }";
const char* const Second = "{ n(1). m(X) :- n(X), not k(X). :- k(2). } { k(1). }";

TEST_F(TwoSequences, EachParserFillsItsOwnSequenceAndEachTranslationIsItsOwn) {
    const std::string firstAlone = alone(First), secondAlone = alone(Second);
    freshRun();
    SEQUENCE one, two;
    PARSER a(one), b(two);
    INPUT_DIRECTIVES da, db;
    b.file = "second.lp";
    // Read in turns, and the second with an error that it alone counts.
    ASSERT_EQ(ParseText(a, "{ p(a). q(X) :- p(X). }", da), 0);
    const std::string diagnostics = stderrOf([&] {
        EXPECT_EQ(ParseText(b, "n(1). m(X) :- n(X), not k(X).\n:- k(2).\nbad(Y) :- not n(Y).", db),
                  0);
    });
    EXPECT_EQ(diagnostics,
              "second.lp: line 3: Rule is not safe.\n"
              "second.lp: line 3: variable Y is unsafe: no positive body literal binds it.\n");
    ASSERT_EQ(ParseText(a, "{ -q(a). } { r :- not q(a). }", da), 0);
    ASSERT_EQ(ParseText(b, "{ k(1). }", db), 0);
    EXPECT_EQ(a.errors, 0);
    EXPECT_EQ(b.errors, 1);
    EXPECT_EQ(one.programs.size(), 3u);
    EXPECT_EQ(two.programs.size(), 2u);
    EXPECT_TRUE(one.constraints.empty());
    EXPECT_EQ(two.constraints.size(), 1u);
    EXPECT_FALSE(one.propositional);

    // Translated one after the other, each holds every rule it holds
    // alone, and the first reads the same once the second is translated.
    // The inertia rules range over the predicates of the process-wide
    // table, so each translation also carries those of the other sequence's
    // predicates, which no rule of its own derives.
    TRANSLATION first, second;
    UpdateRewriting(one.programs, one.constraints, REWRITING_SETTINGS(), first);
    const std::string firstText = text(first);
    UpdateRewriting(two.programs, two.constraints, REWRITING_SETTINGS(), second);
    EXPECT_EQ(text(first), firstText);
    EXPECT_TRUE(holdsEveryLine(firstText, firstAlone));
    EXPECT_TRUE(holdsEveryLine(text(second), secondAlone));
    EXPECT_FALSE(holdsEveryLine(text(second), firstAlone));
}

// The variables of a statement are numbered by the parser reading it: a
// parse that stopped inside a rule leaves its variables with its own
// parser, and the rules another parser reads meanwhile number theirs from
// 0 and keep their own names for --explain.
TEST_F(TwoSequences, EachParserNumbersTheVariablesOfItsOwnStatements) {
    SEQUENCE one, two;
    const PARSE_SETTINGS explain{.explain = true};
    PARSER a(one, explain), b(two, explain);
    INPUT_DIRECTIVES da, db;
    const std::string diagnostics =
        stderrOf([&] { EXPECT_NE(ParseText(a, "{ p(X, Y) :- q(X, Y", da), 0); });
    EXPECT_NE(diagnostics.find("parse error"), std::string::npos) << diagnostics;
    ASSERT_EQ(ParseText(b, "{ r(Z) :- s(Z), not t(W, Z), u(W). }", db), 0);
    ASSERT_EQ(two.programs.size(), 1u);
    std::ostringstream rule;
    PrintRule(rule, two.programs[0].rules->at(0), NOTATION::INPUT);
    EXPECT_EQ(rule.str(), "r(X0) :- s(X0), u(X1), not t(X1,X0).");
    ASSERT_EQ(two.origins.rules.size(), 1u);
    EXPECT_EQ(two.origins.rules[0].at(0).variables, (std::vector<std::string>{"Z", "W"}));
    EXPECT_EQ(two.origins.inputs, (std::vector<std::string>{"<stdin>"}));
    EXPECT_TRUE(one.origins.rules.empty());
}

// Each parser reads for its own program type and each translation is
// written in its own notation, side by side in one process: the pexa
// parser and the rox parser beside it read into sequences of their own.
TEST_F(TwoSequences, EachParserAndTranslationKeepTheirOwnProgramType) {
    SEQUENCE rox, pexa;
    PARSER r(rox), p(pexa, PARSE_SETTINGS{.programType = PROGRAM_TYPE::PEXA});
    INPUT_DIRECTIVES dr, dp;
    ASSERT_EQ(ParseText(r, "{ -c. a :- not c. }", dr), 0);
    ASSERT_EQ(ParseText(p, "{ -c. d :- not c. }", dp), 0);
    EXPECT_EQ(r.errors + p.errors, 0);

    REWRITING_SETTINGS pexaSettings;
    pexaSettings.notation = NOTATION::PEXA;
    TRANSLATION inRox, inPexa;
    UpdateRewriting(rox.programs, rox.constraints, REWRITING_SETTINGS(), inRox);
    UpdateRewriting(pexa.programs, pexa.constraints, pexaSettings, inPexa);
    EXPECT_EQ(inRox.notation, NOTATION::INPUT);
    EXPECT_EQ(inPexa.notation, NOTATION::PEXA);
    EXPECT_NE(text(inRox).find("-c"), std::string::npos) << text(inRox);
    EXPECT_EQ(text(inRox).find("NEG_"), std::string::npos) << text(inRox);
    EXPECT_NE(text(inPexa).find("NEG_c"), std::string::npos) << text(inPexa);
    EXPECT_NE(text(inPexa).find("~"), std::string::npos) << text(inPexa);
}

}  // namespace
