#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "evaluation/clingo/translate.hpp"
#include "evaluation/program/reader.hpp"

using namespace vok::evaluation;

namespace {

std::string rox(const std::string& text, std::optional<std::int64_t> maxint = std::nullopt) {
    return Translate(ReadRox(text), maxint);
}

std::string refusal(const std::string& text, std::optional<std::int64_t> maxint = std::nullopt) {
    try {
        rox(text, maxint);
    } catch (const TRANSLATE_ERROR& e) {
        return std::to_string(e.line) + ": " + e.what();
    }
    return "accepted";
}

}  // namespace

TEST(Translate, KeepsNamesRecoverableAndRulesInClingoForm) {
    EXPECT_EQ(rox("p(a). P(b). \"my pred\"(c). -q. -Q(X) :- r(X), -\"a\"_P1(X)."),
              "p(a). u'P(b). s''22my'20pred'22(c). -q. -u'Q(X) :- r(X), -s''22a'22_P1(X).\n");
    EXPECT_EQ(rox("a v B v -c :- d, not -e."), "a; u'B; -c :- d, not -e.\n");
    EXPECT_EQ(rox("s_P1 :- .\n:- a, not b.\n:- ."), "s_P1.\n:- a, not b.\n:- #true.\n");
    // Strings keep blanks, commas and "%"; "\" is doubled for clingo.
    EXPECT_EQ(rox("p(\"a, b % c\\d\", -3)."), "p(\"a, b % c\\\\d\",-3).\n");
    // A line end in a string is an escape for clingo, and the rule after it
    // is still on its own line.
    EXPECT_EQ(rox("p(\"a\nb\").\nq."), "p(\"a\\nb\").\n\nq.\n");
    // In pexa "not" is a name, which clingo reserves.
    EXPECT_EQ(Translate(ReadPexa("@SET FUNCTION\n@LP({\nnot :- NEG_b, ~a.\n})"), {}),
              "\n\nu'not :- u'NEG_b, not a.\n");
}

TEST(Translate, WritesEachRuleOnItsOwnLine) {
    EXPECT_EQ(rox("a. e.\n\n% gap\nb :-\n c. d.\n"), "a. e.\n\n\nb :- c.\nd.\n");
}

TEST(Translate, RefusesArithmeticWithoutMaxintAndUnsafeVariables) {
    EXPECT_EQ(refusal("p.\nq(X) :- #int(X)."),
              "2: \"#int\" needs the largest integer: give -N=<n>");
    EXPECT_EQ(refusal("q(X) :- p(X), +(X,1,Y)."),
              "1: \"+\" needs the largest integer: give -N=<n>");
    EXPECT_EQ(
        refusal("q(X) :- p(Y)."),
        "1: variable X is unsafe: it occurs in no positive body atom and is bound by no builtin");
    EXPECT_EQ(
        refusal("q :- p(Y), not r(Z)."),
        "1: variable Z is unsafe: it occurs in no positive body atom and is bound by no builtin");
    EXPECT_EQ(
        refusal("q :- p(Y), <(Y,Z)."),
        "1: variable Z is unsafe: it occurs in no positive body atom and is bound by no builtin");
    // Comparisons alone need no maxint; == binds one unbound side.
    EXPECT_EQ(refusal("q(Z) :- p(Y), ==(Z,Y), <(Z,3)."), "accepted");
    EXPECT_EQ(refusal("q(X,Y) :- +(X,Y,3).", 5), "accepted");
}

TEST(Translate, ComputesFromBoundArgumentsBeforeEnumerating) {
    // The common vok pattern computes X1 from X0: no range over 0..maxint.
    std::string t = rox("p(X1) :- q(X0), +(X1,1,X0).", 100);
    EXPECT_EQ(t.find(".."), std::string::npos) << t;
    EXPECT_NE(t.find("X1=X0-1"), std::string::npos) << t;
    // A chain: Y from X, then Z from Y.
    t = rox("p(Z) :- q(X), #succ(Y,Z), #succ(X,Y).", 100);
    EXPECT_EQ(t.find(".."), std::string::npos) << t;
}

TEST(Translate, RangesTheVariablesInsideAnArithmeticArgument) {
    // Nothing binds A or B: each of them, not "A*B" as a whole, ranges over
    // 0..maxint, and the sum is computed from them.
    const std::string t = rox("p(Y) :- q(X), +(X,A*B,Y).", 3);
    EXPECT_NE(t.find("A=0..3"), std::string::npos) << t;
    EXPECT_NE(t.find("B=0..3"), std::string::npos) << t;
    EXPECT_NE(t.find("Y=X+A*B"), std::string::npos) << t;
}
