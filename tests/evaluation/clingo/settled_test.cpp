#include <gtest/gtest.h>

#include <string>

#include "evaluation/clingo/settled.hpp"
#include "evaluation/clingo/translate.hpp"
#include "evaluation/program/reader.hpp"

using namespace vok::evaluation;

namespace {

// The rules clingo is given and the atoms left out ("rules | atoms"), or
// "unchanged".
std::string split(const std::string& rox) {
    const PROGRAM program = ReadRox(rox);
    const std::optional<SETTLED_PART> part = WithoutSettledAtoms(program);
    return part ? Translate(part->rest, std::nullopt) + "| " + part->atoms : "unchanged";
}

}  // namespace

TEST(Settled, LeavesOutWhatFactsSettleAndNoRuleLooksAt) {
    const struct {
        const char* rox;
        const char* expected;
    } cases[] = {
        // A base and its inertia copies: all of it goes; the update's rule
        // reads s, so s stays with clingo.
        {"p_P0(c1).\np_P0(c2).\np(X) :- p_P0(X).\ns(a).\nt :- s(a), not u.\n",
         "\n\n\ns(a).\nt :- s(a), not u.\n| p_P0(c1) p_P0(c2) p(c1) p(c2)"},
        // A rule that reads p keeps p, and the rules and facts it comes
        // from; the unread r goes.
        {"p_P0(c1).\np(X) :- p_P0(X).\nr(X) :- p_P0(X).\nt :- not p(c1).\n",
         "p_P0(c1).\np(X) :- p_P0(X).\n\nt :- not p(c1).\n| r(c1)"},
        // Values are matched: constants, a variable met twice, integers and
        // strings; -1 is an integer, not a negated name.
        {"e(a,a).\ne(a,b).\ne(-1,\"s t\").\nd(X) :- e(X,X).\nf(Y,k) :- e(-1,Y).\nz :- not y.\n",
         "\n\n\n\n\nz :- not y.\n| e(a,a) e(a,b) e(-1,\"s t\") d(a) f(\"s t\",k)"},
        // p and -p both settled and both with atoms: clingo's constraint
        // between them needs both. A -q that a rule may derive keeps q.
        {"p(a).\n-p(a).\nq(b).\n-q(X) :- w(X), not v.\nw(b).\n", "unchanged"},
        // Quoted and upper-case names are written as clingo writes them.
        {"P(a).\n\"x y\"_P1.\nz :- not y.\n", "\n\nz :- not y.\n| u'P(a) s''22x'20y'22_P1"},
        // A predicate with a rule of another kind is no settled one, and
        // nothing derived from it is.
        {"a :- not b.\nc :- a.\nd(X) :- e(X).\n", "unchanged"},
        // Choices and aggregates are left alone.
        {"{ a }.\nb.\n", "unchanged"},
        {"a :- #count{ X : q(X) } > 1.\nq(1).\nb.\n", "unchanged"},
    };
    for (const auto& c : cases) EXPECT_EQ(split(c.rox), c.expected) << c.rox;
}
