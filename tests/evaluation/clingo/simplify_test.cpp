#include <gtest/gtest.h>

#include <string>

#include "evaluation/clingo/simplify.hpp"
#include "evaluation/clingo/translate.hpp"
#include "evaluation/program/reader.hpp"

using namespace vok::evaluation;

namespace {

// The simplified program in clingo's language, or "unchanged".
std::string simplified(const std::string& rox) {
    const PROGRAM program = ReadRox(rox);
    const std::optional<PROGRAM> kept = WithoutDeadRules(program);
    return kept ? Translate(*kept, std::nullopt) : "unchanged";
}

}  // namespace

TEST(Simplify, LeavesOutRulesThatNeverApplyAndNotsThatAlwaysHold) {
    // rej_R0 needs -p_P1(c0), which no rule makes true: its rule goes, and
    // the rewritten rule that waits for it becomes a fact. A rule whose body
    // may hold stays, and so does its "not".
    EXPECT_EQ(simplified("rej_R0 :- -p_P1(c0).\np_P0(c0) :- not rej_R0.\n"
                         "rej_R1 :- q.\np_P0(c1) :- not rej_R1.\nq :- not r.\nr :- s.\n"),
              "\np_P0(c0).\nrej_R1 :- q.\np_P0(c1) :- not rej_R1.\nq.\n");
    EXPECT_EQ(simplified("a :- not b.\nb :- a.\n"), "unchanged");
    EXPECT_EQ(simplified("p(X) :- q(X).\n"), "unchanged");  // with variables: nothing to gain
}

TEST(Simplify, RulesWithVariablesOrBuiltinsStayButNeedNotCount) {
    // The inertia rule from a program that says nothing about -p never
    // applies: it stays (its translation is still checked), but -p_P1 then
    // has no rule, so the rejection rule goes. The same for a rule with a
    // builtin.
    EXPECT_EQ(simplified("-p_P1(X) :- -p_P2(X).\nrej :- -p_P1(c).\nx :- not rej.\n"
                         "b :- a, <(1,2).\ny :- not b.\n"),
              "-p_P1(X) :- -p_P2(X).\n\nx.\nb :- a, 1<2.\ny.\n");
}

TEST(Simplify, UpdateFactsAreMatchedAtomByAtom) {
    // Only facts define -p_P1: only the rejection rule of the fact named
    // stays. A body atom with a variable is not matched against the facts.
    EXPECT_EQ(simplified("-p_P1(c1).\nrej1 :- -p_P1(c1).\nrej2 :- -p_P1(c2).\n"
                         "s(X) :- -p_P1(X).\nz :- s(c1).\n"),
              "-p_P1(c1).\nrej1 :- -p_P1(c1).\n\ns(X) :- -p_P1(X).\nz :- s(c1).\n");
    // A rule with variables defines -p_P1 too: every rejection rule stays.
    EXPECT_EQ(simplified("-p_P1(c1).\n-p_P1(X) :- u(X).\nu(c2).\nrej1 :- -p_P1(c1).\n"
                         "rej2 :- -p_P1(c2).\n"),
              "unchanged");
}

TEST(Simplify, StopsSoundlyOnLongChains) {
    // a0 never holds, so no a_i does. Written from a8 down, each pass finds
    // one more rule dead; after its few passes the simplification leaves
    // the rest of the chain in, and with it the "not a8" that may not be
    // dropped while a8 still has a rule. (Written from a1 up, one pass
    // finds them all.)
    std::string chain;
    for (int i = 8; i >= 1; --i)
        chain += "a" + std::to_string(i) + " :- a" + std::to_string(i - 1) + ".\n";
    const std::string text = simplified(chain + "z :- not a8.\n");
    EXPECT_EQ(text.find("a1 :-"), std::string::npos) << text;
    EXPECT_NE(text.find("a8 :- a7."), std::string::npos) << text;
    EXPECT_NE(text.find("z :- not a8."), std::string::npos) << text;
}

TEST(Simplify, OnlyProgramsReadFromAFile) {
    // Hand-made names have no numbers: nothing is simplified.
    PROGRAM program;
    const ATOM head{false, NAME(NAME::KIND::IDENTIFIER, "a"), {}};
    const LITERAL body{ATOM{false, NAME(NAME::KIND::IDENTIFIER, "b"), {}}, false, false,
                       BUILTIN::EQUAL};
    program.rules.push_back(
        RULE{.line = 1, .head = std::span(&head, 1), .body = std::span(&body, 1)});
    EXPECT_FALSE(WithoutDeadRules(program));
}
