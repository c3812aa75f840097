// The maintained part of a session: which rules it keeps, and that
// bringing it up to date step by step (deltas joined from the changed
// atoms) leaves the atoms that taking every program at once gives, on
// random sequences of facts, joins, negation, comparisons, retractions and
// rules that reject derived atoms. No clingo is started: the part decides
// its atoms itself.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "evaluation/program/reader.hpp"
#include "evaluation/session/keep.hpp"
#include "evaluation/session/take.hpp"

using namespace vok::evaluation;
using namespace vok::evaluation::engine;

namespace {

// std::mt19937's numbers are the same everywhere, so a seed names a case.
struct DRAW {
    std::mt19937 engine;
    unsigned below(unsigned n) { return static_cast<unsigned>(engine() % n); }
    bool chance(unsigned percent) { return below(100) < percent; }
    const std::string& pick(const std::vector<std::string>& v) {
        return v[below(static_cast<unsigned>(v.size()))];
    }
};

std::unique_ptr<SESSION> keptSession() {
    auto s = std::make_unique<SESSION>();
    s->maintained = std::make_unique<MAINTAINED>();
    return s;
}

// Takes the programs as one step; returns the base, sorted.
std::vector<std::string> takeStep(SESSION& s, const std::vector<std::string>& programs) {
    std::vector<READ_PROGRAM> read;
    for (std::size_t i = 0; i < programs.size(); ++i)
        read.push_back(readProgram(programs[i], s.config, i, programs.size(), s.choiceBodies));
    STEP step;
    takePrograms(s, step, read);
    std::vector<std::string> base;
    for (const SESSION_LITERAL& l : s.literals)
        if (l.standing == STANDING::BASE) base.emplace_back(l.text);
    std::sort(base.begin(), base.end());
    return base;
}

// Every kept literal's supports, by its text: the instances whose bodies
// hold, which a step must count as taking the programs at once does.
std::map<std::string, std::vector<std::pair<std::uint32_t, std::uint32_t>>> supports(
    const SESSION& s) {
    std::map<std::string, std::vector<std::pair<std::uint32_t, std::uint32_t>>> out;
    for (std::size_t id = 0; id < s.maintained->literals.size(); ++id)
        if (!s.maintained->literals[id].supports.empty())
            out[std::string(s.literals[static_cast<std::uint32_t>(id)].text)] =
                s.maintained->literals[id].supports.counts();
    return out;
}

bool kept(const std::string& rule) {
    const PROGRAM p = ReadRox(rule);
    return ruleShape(p.rules[0], false).has_value();
}

}  // namespace

TEST(MaintainedPart, SupportsCountByProgramFromOneToManyAndBack) {
    SUPPORTS s;
    using C = std::vector<std::pair<std::uint32_t, std::uint32_t>>;
    const struct {
        std::uint32_t program;
        int delta;
        C counts;
    } steps[] = {
        {3, 1, {{3, 1}}},
        {3, 1, {{3, 2}}},
        {1, 1, {{1, 1}, {3, 2}}},
        {5, 1, {{1, 1}, {3, 2}, {5, 1}}},
        {5, -1, {{1, 1}, {3, 2}}},
        {3, -2, {{1, 1}}},
        {1, -1, {}},
        {4, 1, {{4, 1}}},
        {4, -1, {}},
    };
    for (const auto& step : steps) {
        s.add(step.program, step.delta);
        EXPECT_EQ(s.counts(), step.counts) << step.program << " " << step.delta;
        EXPECT_EQ(s.empty(), step.counts.empty());
        if (!step.counts.empty()) {
            EXPECT_EQ(s.highest(), step.counts.back().first);
        }
    }
}

TEST(MaintainedPart, KeepsNormalRulesOverPlainTermsOnly) {
    EXPECT_TRUE(kept("ok(X) :- emp(X,D), not blocked(D).\n"));
    EXPECT_TRUE(kept("rich(X) :- salary(X,S), >(S,90).\n"));
    EXPECT_TRUE(kept("-ok(X) :- emp(X,d1), salary(X,S).\n"));
    EXPECT_TRUE(kept("s(\"a b\",3) :- p(X).\n"));
    EXPECT_FALSE(kept("a :- not not b.\n"));          // doubled negation
    EXPECT_FALSE(kept("n(Y) :- p(X), +(X,1,Y).\n"));  // arithmetic
    EXPECT_FALSE(kept("q(f(X)) :- p(X).\n"));         // compound term
    EXPECT_FALSE(kept(":- p(X), q(X).\n"));           // a constraint
}

TEST(MaintainedPart, DecidesRejectionsAndContradictions) {
    auto s = keptSession();
    EXPECT_EQ(takeStep(*s, {"emp(e1,d1).\nemp(e2,d2).\nok(X) :- emp(X,D), not blocked(D).\n"}),
              (std::vector<std::string>{"emp(e1,d1)", "emp(e2,d2)", "ok(e1)", "ok(e2)"}));
    // A newer fact rejects an older one, and what was derived from it goes.
    EXPECT_EQ(takeStep(*s, {"-emp(e1,d1).\nblocked(d2).\n"}),
              (std::vector<std::string>{"-emp(e1,d1)", "blocked(d2)", "emp(e2,d2)"}));
    // A rule for the complement, newer, rejects the older fact.
    EXPECT_EQ(takeStep(*s, {"emp(e1,d1).\n-blocked(D) :- emp(X,D).\n"}),
              (std::vector<std::string>{"-blocked(d1)", "-blocked(d2)", "emp(e1,d1)", "emp(e2,d2)",
                                        "ok(e1)", "ok(e2)"}));
    EXPECT_FALSE(keptContradiction(*s));
    // Both sides in the same program: no answer set, until a newer one decides.
    takeStep(*s, {"x(c).\n-x(c).\n"});
    EXPECT_TRUE(keptContradiction(*s));
    takeStep(*s, {"-x(c).\n"});
    EXPECT_FALSE(keptContradiction(*s));
}

using BASE = std::vector<std::string>;

// Recursion over the base: what an insertion, a retraction with another
// derivation left, a rule that rejects inside the recursion and a fact
// stated again leave.
TEST(MaintainedPart, KeepsPositiveRecursion) {
    auto s = keptSession();
    EXPECT_EQ(takeStep(*s, {"e(a,b).\ne(b,c).\ne(a,x).\ne(x,c).\npath(X,Y) :- e(X,Y).\n"
                            "path(X,Z) :- path(X,Y), e(Y,Z).\n"}),
              (BASE{"e(a,b)", "e(a,x)", "e(b,c)", "e(x,c)", "path(a,b)", "path(a,c)", "path(a,x)",
                    "path(b,c)", "path(x,c)"}));
    EXPECT_EQ(takeStep(*s, {"e(c,d).\n"}),
              (BASE{"e(a,b)", "e(a,x)", "e(b,c)", "e(c,d)", "e(x,c)", "path(a,b)", "path(a,c)",
                    "path(a,d)", "path(a,x)", "path(b,c)", "path(b,d)", "path(c,d)", "path(x,c)",
                    "path(x,d)"}));
    // path(a,c) keeps its derivation through x.
    EXPECT_EQ(takeStep(*s, {"-e(b,c).\n"}),
              (BASE{"-e(b,c)", "e(a,b)", "e(a,x)", "e(c,d)", "e(x,c)", "path(a,b)", "path(a,c)",
                    "path(a,d)", "path(a,x)", "path(c,d)", "path(x,c)", "path(x,d)"}));
    // A newer rule rejects path(x,c), and path(x,d) loses its only ground.
    const BASE rejected = {"-e(b,c)",   "-path(x,c)", "e(a,b)",    "e(a,x)",
                           "e(c,d)",    "e(x,c)",     "mark(c)",   "path(a,b)",
                           "path(a,c)", "path(a,d)",  "path(a,x)", "path(c,d)"};
    EXPECT_EQ(takeStep(*s, {"-path(X,Y) :- e(X,Y), mark(Y).\nmark(c).\n"}), rejected);
    // e(b,c) again: the older rule's instance for path(b,c) is rejected.
    BASE again = rejected;
    again.erase(again.begin());
    again.insert(again.begin(), "-path(b,c)");
    again.insert(std::find(again.begin(), again.end(), "e(c,d)"), "e(b,c)");
    EXPECT_EQ(takeStep(*s, {"e(b,c).\n"}), again);
    EXPECT_FALSE(keptContradiction(*s));
}

// A closure that joins itself reads indexes made while its fixpoint grows.
TEST(MaintainedPart, KeepsAClosureThatJoinsItself) {
    auto s = keptSession();
    EXPECT_EQ(takeStep(*s, {"e(a,b).\ne(b,c).\ne(c,d).\np(X,Y) :- e(X,Y).\n"
                            "p(X,Y) :- p(X,Z), p(Z,Y).\n"}),
              (BASE{"e(a,b)", "e(b,c)", "e(c,d)", "p(a,b)", "p(a,c)", "p(a,d)", "p(b,c)", "p(b,d)",
                    "p(c,d)"}));
    EXPECT_EQ(takeStep(*s, {"-e(b,c).\n"}),
              (BASE{"-e(b,c)", "e(a,b)", "e(c,d)", "p(a,b)", "p(c,d)"}));
}

TEST(MaintainedPart, DropsACycleThatLostItsGround) {
    auto s = keptSession();
    EXPECT_EQ(takeStep(*s, {"p(a) :- p(b).\np(b) :- p(a).\np(a).\n"}), (BASE{"p(a)", "p(b)"}));
    EXPECT_EQ(takeStep(*s, {"-p(a).\n"}), (BASE{"-p(a)"}));
    // p(b) again, newer: the rule for p(a) is older than -p(a) and stays rejected.
    EXPECT_EQ(takeStep(*s, {"p(b).\n"}), (BASE{"-p(a)", "p(b)"}));
}

// A derived atom's level is its rule's program, not its body's: path(a,c)
// of program 0's rules over facts of program 1 meets -path(a,c) of
// program 0, and neither rejects the other.
TEST(MaintainedPart, GivesARecursiveAtomItsRulesLevel) {
    auto s = keptSession();
    takeStep(*s, {"path(X,Y) :- e(X,Y).\npath(X,Z) :- path(X,Y), e(Y,Z).\n-path(a,c).\n",
                  "e(a,b).\ne(b,c).\n"});
    EXPECT_TRUE(keptContradiction(*s));
    takeStep(*s, {"-path(a,c).\n"});
    EXPECT_FALSE(keptContradiction(*s));
}

// Random sequences over layered predicates (facts of b/1, e/2 and v/2; r/1
// and j/2 derived from them; t/1 from those, also recursively; w/2 a
// closure of e/2 that joins itself), so that
// every rule stays kept unless t/1 and r/1 read each other through `not`.
TEST(MaintainedPart, StepByStepEqualsAllAtOnce) {
    const std::vector<std::string> consts = {"a", "b", "c", "1", "2", "\"s\""};
    const std::vector<std::string> rules = {
        "r(X) :- b(X), not -b(X).",
        "-r(X) :- e(X,Y), b(Y).",
        "j(X,Y) :- e(X,Y), b(X), not b(Y).",
        "-j(X,Y) :- e(X,Y), v(X,N), >(N,1).",
        "r(X) :- v(X,N), <=(N,X).",
        "t(X) :- r(X), j(X,Y), !=(X,Y).",
        "-t(X) :- j(Y,X), not r(Y).",
        "t(X) :- e(X,X).",
        "t(Y) :- t(X), e(X,Y).",
        "r(X) :- t(X), v(X,N).",
        "t(X) :- t(Y), t(Z), e(Y,Z), e(Z,X).",
        "w(X,Y) :- e(X,Y).",
        "w(X,Y) :- w(X,Z), w(Z,Y).",
        "-w(X,Y) :- v(X,Y).",
        "t(X) :- w(X,X).",
    };
    for (unsigned seed = 1; seed <= 150; ++seed) {
        DRAW rnd{std::mt19937(seed)};
        std::vector<std::string> programs;
        auto incremental = keptSession();
        for (unsigned step = 0; step < 6; ++step) {
            std::string p;
            for (unsigned n = 1 + rnd.below(4); n > 0; --n) {
                const std::string c = rnd.pick(consts), d = rnd.pick(consts);
                const std::string sign = rnd.chance(25) ? "-" : "";
                switch (rnd.below(6)) {
                    case 0: p += sign + "b(" + c + ").\n"; break;
                    case 1: p += sign + "e(" + c + "," + d + ").\n"; break;
                    case 2: p += "v(" + c + "," + std::to_string(rnd.below(3)) + ").\n"; break;
                    case 3: p += sign + "r(" + c + ").\n"; break;
                    default: p += rnd.pick(rules) + "\n"; break;
                }
            }
            programs.push_back(p);
            const std::vector<std::string> stepped = takeStep(*incremental, {p});
            auto whole = keptSession();
            ASSERT_EQ(stepped, takeStep(*whole, programs)) << "seed " << seed << " step " << step;
            ASSERT_EQ(keptContradiction(*incremental), keptContradiction(*whole))
                << "seed " << seed << " step " << step;
            ASSERT_EQ(supports(*incremental), supports(*whole))
                << "seed " << seed << " step " << step;
        }
    }
}

namespace {

// Takes one program as a step; returns the step, for what goes to clingo.
STEP takeOne(SESSION& s, const std::string& program) {
    std::vector<READ_PROGRAM> read;
    read.push_back(readProgram(program, s.config, 0, 1, s.choiceBodies));
    STEP step;
    takePrograms(s, step, read);
    return step;
}

char standingOf(SESSION& s, const std::string& name, std::uint32_t arity) {
    return groupStanding(s, s.signatures.of(SIGN{signKey(false, name, arity), name, arity, false}));
}

// The handed literals of the step with the truth the part holds, "H=1" or "H=0".
std::vector<std::string> handedTruths(const SESSION& s, const STEP& step) {
    std::vector<std::string> out;
    for (std::uint32_t id : step.handed)
        out.push_back(std::string(s.literals[id].text) +
                      (s.maintained->literals[id].truth ? "=1" : "=0"));
    std::sort(out.begin(), out.end());
    out.erase(std::unique(out.begin(), out.end()), out.end());
    return out;
}

}  // namespace

// A group that kept rules derive and clingo's search reads stays kept: its
// atoms stay in the base, and each change of their truth is handed on, from
// a rejection by a later block to the retraction of the fact under one.
TEST(MaintainedPart, HandsADerivedGroupThatClingoReads) {
    auto s = keptSession();
    STEP step = takeOne(*s,
                        "salary(e1,95).\nsalary(e91,99).\nsalary(e2,50).\n"
                        "rich(X) :- salary(X,S), >(S,90).\n"
                        "pick :- rich(e91), not skip.\nskip :- rich(e91), not pick.\n");
    EXPECT_EQ(standingOf(*s, "rich", 1), HANDED);
    EXPECT_EQ(standingOf(*s, "salary", 2), KEPT);
    EXPECT_EQ(handedTruths(*s, step), (BASE{"rich(e1)=1", "rich(e91)=1"}));
    EXPECT_TRUE(step.rebuild.empty());
    // A newer rule rejects rich(e91); an older rule's new instance stays
    // rejected.
    step = takeOne(*s, "-rich(X) :- salary(X,99).\n");
    EXPECT_EQ(handedTruths(*s, step), (BASE{"-rich(e91)=1", "rich(e91)=0"}));
    step = takeOne(*s, "salary(e91,98).\nsalary(e3,97).\n");
    EXPECT_EQ(handedTruths(*s, step), (BASE{"rich(e3)=1"}));
    // The fact under -rich(e91) retracted: nothing rejects rich(e91) now.
    step = takeOne(*s, "-salary(e91,99).\n");
    EXPECT_EQ(handedTruths(*s, step), (BASE{"-rich(e91)=0", "rich(e91)=1"}));
    step = takeOne(*s, "-salary(e91,98).\n");
    EXPECT_EQ(handedTruths(*s, step), (BASE{"rich(e91)=0"}));
    EXPECT_EQ(takeStep(*s, {"c.\n"}),
              (BASE{"-salary(e91,98)", "-salary(e91,99)", "c", "rich(e1)", "rich(e3)",
                    "salary(e1,95)", "salary(e2,50)", "salary(e3,97)"}));
    // A rule of clingo's for the group takes it out of the part.
    step = takeOne(*s, "rich(X) :- salary(X,S), pick.\n");
    EXPECT_EQ(standingOf(*s, "rich", 1), CLINGO);
    EXPECT_FALSE(step.rebuild.empty());
}

// A group whose facts clingo held (shared) is handed once kept rules derive
// it: clingo defined its literals, so a new clingo takes their truths.
TEST(MaintainedPart, HandsASharedGroupThatRulesComeToDerive) {
    auto s = keptSession();
    STEP step = takeOne(*s, "emp(e1,d1).\nq :- emp(e1,d2), not r.\nr :- not q.\n");
    EXPECT_EQ(standingOf(*s, "emp", 2), SHARED);
    step = takeOne(*s, "emp(X,d2) :- emp(X,d1).\n");
    EXPECT_EQ(standingOf(*s, "emp", 2), HANDED);
    EXPECT_FALSE(step.rebuild.empty());
    EXPECT_EQ(handedTruths(*s, step), (BASE{"emp(e1,d1)=1", "emp(e1,d2)=1"}));
}

// A choice whose body reads the base is read as a kept rule over the head's
// variables and a choice over its atoms: the facts stay kept, clingo is
// handed the body's atoms only, a later block's change of the body hands on
// their new truth, and a choice over a single atom stays as it is.
TEST(MaintainedPart, KeepsAChoicesBodyAndHandsItsAtoms) {
    auto s = keptSession();
    STEP step = takeOne(*s,
                        "emp(e1,d1).\nemp(e2,d2).\nsalary(e1,95).\nsalary(e2,99).\n"
                        "{ pick(X) } :- salary(X,S), >(S,90), emp(X,D), not blocked(D).\n");
    EXPECT_EQ(standingOf(*s, "emp", 2), KEPT);
    EXPECT_EQ(standingOf(*s, "salary", 2), KEPT);
    EXPECT_EQ(standingOf(*s, "m'0", 1), HANDED);
    EXPECT_TRUE(step.cFacts.empty());
    EXPECT_EQ(handedTruths(*s, step), (BASE{"m'0(e1)=1", "m'0(e2)=1"}));
    EXPECT_TRUE(
        s->signatures[s->signatures.of(SIGN{signKey(false, "m'0", 1), "m'0", 1, false})].hidden);
    step = takeOne(*s, "blocked(d2).\n");
    EXPECT_EQ(handedTruths(*s, step), (BASE{"m'0(e2)=0"}));
    takeOne(*s, "{ top(X) } :- emp(X,d1).\n");
    EXPECT_EQ(standingOf(*s, "emp", 2), SHARED);
    EXPECT_EQ(s->choiceBodies, 1u);
}
