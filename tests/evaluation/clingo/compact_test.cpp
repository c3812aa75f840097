#include <gtest/gtest.h>

#include <string>

#include "evaluation/clingo/compact.hpp"
#include "evaluation/clingo/translate.hpp"
#include "evaluation/program/reader.hpp"
#include "tests/support/evaluation/programs.hpp"

using namespace vok::evaluation;

TEST(Compact, FactBaseBecomesTablesWithNamesPrintedBack) {
    const PROGRAM program = ReadRox(factBase(6));
    const CLINGO_TEXT t = TranslateCompact(program, std::nullopt, 3);
    ASSERT_EQ(t.data.texts.size(), 6u);  // the rejection predicates
    EXPECT_EQ(t.data.texts[1], "rej_P0_R1");
    // Rows stay on their rules' lines; one table serves both groups of a
    // predicate.
    EXPECT_TRUE(t.text.starts_with("t'0(0,c0,d0).\n\nt'1(1,c1,d1).\n\n")) << t.text;
    EXPECT_NE(t.text.find("g'0(V0) :- t'0(V0,V1,V2), -p0_P1(V1,V2).\n"), std::string::npos);
    EXPECT_NE(t.text.find("p0_P0(V1,V2) :- t'0(V0,V1,V2), not g'0(V0).\n"), std::string::npos);
    EXPECT_NE(t.text.find("#show g'0/1.\n"), std::string::npos);
    // Below the threshold, the plain text.
    EXPECT_EQ(TranslateCompact(program, std::nullopt).text, Translate(program, std::nullopt));
}

// A disjunctive program keeps the plain text; a normal one gets the compact
// text whether it is stratified or not (choices, odd loops, constraints),
// with the rules that never apply left out.
TEST(Compact, IsForEveryNormalProgram) {
    const std::string base = factBase(4);
    const PROGRAM disjunctive = ReadRox(base + "q v r.\n");
    EXPECT_EQ(TranslateCompact(disjunctive, std::nullopt, 1).text,
              Translate(disjunctive, std::nullopt));
    for (const char* extra :
         {"q :- not r.\nr :- not q.\n", "q :- not q, s.\ns :- not t.\n", "q :- not r.\nr :- s.\n",
          "q :- not r.\nr :- not q.\n:- q, not s.\ns :- not t.\nt :- not s.\n"}) {
        const PROGRAM program = ReadRox(base + extra);
        const CLINGO_TEXT t = TranslateCompact(program, std::nullopt, 1);
        EXPECT_NE(t.text, Translate(program, std::nullopt)) << extra;
        EXPECT_NE(t.text.find("t'"), std::string::npos) << extra;
    }
}

// A choice and a rule with an aggregate keep lines of their own in a compact
// text, and the rules that never apply stay (their pass reads normal rules
// only); an aggregate that names a predicate made data keeps the plain text.
TEST(Compact, ChoicesAndAggregatesKeepTheirLines) {
    const std::string base = factBase(6);
    const PROGRAM program =
        ReadRox(base + "{ q(X) } :- p0_P0(X,d0).\nr :- #count{ X : q(X) } > 1.\n");
    const CLINGO_TEXT t = TranslateCompact(program, std::nullopt, 3);
    EXPECT_EQ(t.data.texts.size(), 6u) << t.text;
    EXPECT_NE(t.text.find("{ q(X) } :- p0_P0(X,d0)."), std::string::npos) << t.text;
    EXPECT_NE(t.text.find("r :- #count{ X : q(X) } > 1."), std::string::npos) << t.text;
    EXPECT_TRUE(t.headed.empty());
    for (const char* names : {"r :- #count{ 1 : rej_P0_R1 } > 0.\n", "r :- rej_P0_R2 : s.\n"}) {
        const PROGRAM naming = ReadRox(base + names);
        EXPECT_EQ(TranslateCompact(naming, std::nullopt, 3).text, Translate(naming, std::nullopt))
            << names;
    }
}

// Names that head no rule of the simplified text are noted, so that the
// one-run script need not look for their atoms; a text of every rule notes
// none.
TEST(Compact, NotesTheNamesItsRulesHead) {
    const PROGRAM dead = ReadRox(factBaseWithDeadRules());
    const CLINGO_TEXT t = TranslateCompact(dead, std::nullopt, 2);
    ASSERT_EQ(t.headed.size(), dead.names);
    auto headed = [&](const char* name) {
        for (const RULE& rule : dead.rules)
            for (const ATOM& a : rule.head)
                if (a.predicate.text == name) return bool(t.headed[a.predicate.number]);
        ADD_FAILURE() << name << " heads no rule";
        return false;
    };
    EXPECT_TRUE(headed("rej_P0_R0"));   // its fact is updated
    EXPECT_FALSE(headed("rej_P0_R1"));  // never applies
    EXPECT_TRUE(headed("p1_P0"));
    EXPECT_TRUE(TranslateCompact(ReadRox(factBase(6)), std::nullopt, 3).headed.empty());
}

TEST(Compact, PredicatesUsedWithVariablesStayNames) {
    // p0_P0 heads ground rules and feeds a rule with variables: a body
    // literal over a family would make clingo search the whole family.
    const CLINGO_TEXT t = TranslateCompact(ReadRox(factBase(6)), std::nullopt, 2);
    for (const std::string& name : t.data.texts) EXPECT_TRUE(name.starts_with("rej_")) << name;
    EXPECT_NE(t.text.find("p0(X,Y) :- p0_P0(X,Y)."), std::string::npos);
}

TEST(Compact, FamiliesJoinOnlyPredicatesOfOneHeight) {
    // r2 depends on r1 through "not": in one family they would make a cycle
    // through "not" for clingo.
    const PROGRAM program = ReadRox(TwoHeights);
    const CLINGO_TEXT t = TranslateCompact(program, std::nullopt, 2);
    ASSERT_EQ(t.data.texts.size(), 4u) << t.text;
    EXPECT_EQ(t.data.texts[0], "r1");
    EXPECT_NE(t.data.family[0], t.data.family[2]);  // r1, r2
    EXPECT_EQ(t.data.family[2], t.data.family[3]);  // r2, r3
}

TEST(Compact, LeavesOutGroundRulesThatNeverApply) {
    // No update touches p1 (the rule with variables that heads -p1_P1
    // never applies): its rejection rules never apply, so its rewritten
    // rules become facts. The update names one fact of p0: only that one's
    // rejection rule stays. Rules with variables stay in the text, and one
    // that may apply (over -p0_P1) is not mistaken for one that never does.
    const PROGRAM program = ReadRox(factBaseWithDeadRules());
    const CLINGO_TEXT t = TranslateCompact(program, std::nullopt, 2);
    EXPECT_TRUE(t.data.texts.empty());
    EXPECT_NE(t.text.find("rej_P0_R0 :- -p0_P1(c0,d0).\np0_P0(c0,d0) :- not rej_P0_R0.\n"),
              std::string::npos)
        << t.text;
    EXPECT_NE(t.text.find("\np1_P0(c1,d1).\n"), std::string::npos);
    EXPECT_NE(t.text.find("\np0_P0(c2,d2).\n"), std::string::npos);
    for (const char* gone : {"rej_P0_R1", "rej_P0_R2", "t :-"})
        EXPECT_EQ(t.text.find(gone), std::string::npos) << gone;
    for (const char* kept :
         {"r(X) :- s(X).", "-p1_P1(X,Y) :- -p1_P2(X,Y).", "u :- p0_P0(c0,d0).", "z :- s(c0)."})
        EXPECT_NE(t.text.find(kept), std::string::npos) << kept;
}
