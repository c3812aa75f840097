#include <gtest/gtest.h>

#include "tests/support/builders.hpp"

namespace {

class Rules : public ::testing::Test {
protected:
    void SetUp() override { resetProgramTables(PROGRAM_TYPE::ROX); }
};

BODY bodyOf(std::initializer_list<LITERAL> literals) {
    BODY b;
    for (const LITERAL& l : literals) b.add(l);
    return b;
}

TEST_F(Rules, BodyKeepsPositiveLiteralsFirstInTheirOrder) {
    BODY b = bodyOf({neg(atom("a")), pos(atom("b")), neg(atom("c")), pos(atom("d"))});
    std::ostringstream out;
    PrintList(out, b, ", ", NOTATION::INPUT);
    EXPECT_EQ(out.str(), "b, d, not a, not c");
    EXPECT_EQ(b.firstNegated, 2u);

    BODY groups({pos(atom("b")), pos(atom("d"))}, {neg(atom("a")), neg(atom("c"))});
    std::ostringstream out2;
    PrintList(out2, groups, ", ", NOTATION::INPUT);
    EXPECT_EQ(out2.str(), out.str());
    EXPECT_EQ(groups.firstNegated, 2u);
}

// A rule copies what it is built from, and its copies share it: a copy
// outlives the original and the builders, and replacing one copy leaves
// the others as they were.
TEST_F(Rules, CopiesOutliveTheirOriginalAndKeepFirstNegated) {
    std::vector<RULE> many;
    {
        HEAD head(atom("h", {"X", "a", "b", "c", "d"}));  // a long argument list
        BODY body = bodyOf({neg(atom("n", {"X"})), pos(atom("q", {"X"}))});
        RULE r(head, body);
        for (int i = 0; i < 100; ++i) many.push_back(r);  // growth moves the rules
        head.atoms.clear();
        body.add(pos(atom("z")));
    }
    EXPECT_EQ(text(many[0]), "h(X0,a,b,c,d) :- q(X0), not n(X0).");
    EXPECT_EQ(many[99].body()->firstNegated, 1u);
    many[1] = RULE(HEAD(atom("g")));
    many[2] = std::move(many[3]);
    EXPECT_EQ(text(many[1]), "g.");
    EXPECT_FALSE(many[1].body());
    EXPECT_EQ(text(many[2]), text(many[0]));

    // Rules built from separate groups keep the positives first.
    const ATOM h = atom("p");
    const LITERAL positive[] = {pos(atom("b")), pos(atom("c"))};
    const LITERAL negated[] = {neg(atom("a"))};
    RULE parts(std::span<const ATOM>(&h, 1), positive, negated);
    EXPECT_EQ(text(parts), "p :- b, c, not a.");
    EXPECT_EQ(parts.body()->firstNegated, 2u);
    EXPECT_EQ(text(RULE(std::span<const ATOM>(&h, 1), {}, {}, false)), "p.");
    EXPECT_EQ(text(RULE()), ".");
}

TEST_F(Rules, TextForms) {
    RULE fact{HEAD(atom("p", {"a"}))};
    EXPECT_EQ(text(fact), "p(a).");
    RULE empty(HEAD(atom("s")), BODY());
    EXPECT_EQ(text(empty), "s :- .");
    HEAD three(atom("x"));
    three.add(atom("y"));
    three.add(atom("z"));
    EXPECT_EQ(text(RULE(three, bodyOf({pos(atom("d"))}))), "x v y v z :- d.");
    CONSTRAINT c(bodyOf({neg(atom("x"))}));
    EXPECT_EQ(text(c), ":- not x.");

    RULE r(HEAD(atom("a", {"X"})), bodyOf({neg(atom("b", {"X"})), pos(atom("c", {"X"}))}));
    EXPECT_EQ(text(r), "a(X0) :- c(X0), not b(X0).");
    EXPECT_EQ(text(r, NOTATION::PEXA), "a(X0) :- c(X0), ~b(X0).");

    std::vector<RULE> rules{fact, empty};
    std::ostringstream out;
    PrintList(out, rules, "\n", NOTATION::INPUT);
    EXPECT_EQ(out.str(), "p(a).\ns :- .");
    std::vector<CONSTRAINT> none;
    std::ostringstream out2;
    PrintList(out2, none, "\n", NOTATION::INPUT);
    EXPECT_EQ(out2.str(), "");
}

ATOM builtin(BUILTIN b, std::initializer_list<const char*> args) {
    std::vector<IDENT> terms;
    for (const char* a : args) terms.push_back(termOf(a));
    return newBuiltin(b, ARGUMENTS(terms));
}

TEST_F(Rules, SafetyOfRules) {
    auto rule = [](ATOM head, std::initializer_list<LITERAL> body) {
        RULE r(HEAD(std::move(head)), bodyOf(body));
        TestVariables().reset();
        return r;
    };
    EXPECT_TRUE(rule(atom("a", {"X"}), {neg(atom("b", {"X"})), pos(atom("c", {"X"}))}).isSafe());
    EXPECT_FALSE(rule(atom("p", {"X"}), {pos(builtin(LESS, {"X", "3"}))}).isSafe());
    EXPECT_TRUE(rule(atom("p", {"X"}), {pos(builtin(INT, {"X"}))}).isSafe());
    EXPECT_TRUE(rule(atom("p", {"X"}), {pos(atom("q", {"X"})), pos(builtin(NOT_EQUAL, {"X", "b"}))})
                    .isSafe());
    EXPECT_FALSE(
        rule(atom("p2", {"X", "Y"}), {pos(atom("q", {"X"})), pos(builtin(LESS, {"X", "Y"}))})
            .isSafe());
    EXPECT_FALSE(rule(atom("p0"), {pos(atom("q0")), neg(atom("r", {"Y"}))}).isSafe());
    EXPECT_TRUE(rule(atom("p0"), {pos(atom("q", {"Y"}))}).isSafe());
    EXPECT_TRUE(
        rule(atom("p", {"X"}), {pos(builtin(PLUS, {"Y", "one", "X"})), pos(atom("q", {"Y"}))})
            .isSafe());

    RULE varFact{HEAD(atom("p", {"X"}))};
    EXPECT_FALSE(varFact.isSafe());
    RULE groundFact{HEAD(atom("p", {"a"}))};
    EXPECT_TRUE(groundFact.isSafe());
    RULE emptyBody(HEAD(atom("p", {"Z"})), BODY());
    EXPECT_FALSE(emptyBody.isSafe());
}

// The variables an unsafe statement's message names: by number, each once,
// none for a safe one; the same for the head, negated literals and
// comparisons.
TEST_F(Rules, UnsafeVariablesAreTheOnesNothingBinds) {
    auto rule = [](ATOM head, std::initializer_list<LITERAL> body) {
        RULE r(HEAD(std::move(head)), bodyOf(body));
        TestVariables().reset();
        return r;
    };
    // X 0, Y 1, Z 2 in the order the statement names them.
    ATOM head = atom("u2", {"X", "Y"});
    BODY body =
        bodyOf({pos(atom("u1", {"Y"})), neg(atom("v2", {"Z", "X"})), neg(atom("w1", {"Z"}))});
    TestVariables().reset();
    EXPECT_EQ(RULE(HEAD(std::move(head)), std::move(body)).unsafeVariables(),
              (std::vector<int>{0, 2}));
    EXPECT_EQ(rule(atom("w1", {"X"}), {pos(builtin(LESS, {"Y", "X"}))}).unsafeVariables(),
              (std::vector<int>{0, 1}));
    EXPECT_TRUE(rule(atom("w1", {"X"}), {pos(atom("u1", {"X"}))}).unsafeVariables().empty());
    RULE varFact{HEAD(atom("u2", {"X", "X"}))};
    TestVariables().reset();
    EXPECT_EQ(varFact.unsafeVariables(), (std::vector<int>{0}));
    BODY constraint = bodyOf({pos(atom("u1", {"X"})), neg(atom("v2", {"Y", "X"}))});
    TestVariables().reset();
    EXPECT_EQ(constraint.unsafeVariables(), (std::vector<int>{1}));
}

TEST_F(Rules, SafetyOfConstraintsAndSaves) {
    BODY b =
        bodyOf({neg(atom("n", {"X"})), pos(builtin(GREATER, {"Y", "X"})), pos(atom("q", {"X"}))});
    EXPECT_TRUE(Saves(b, IDENT(IDENT::VARIABLE, 0)));   // X by q
    EXPECT_FALSE(Saves(b, IDENT(IDENT::VARIABLE, 1)));  // Y only in the comparison
    EXPECT_FALSE(b.isSafe());
    BODY onlyNegated = bodyOf({neg(atom("a"))});
    EXPECT_TRUE(onlyNegated.isSafe());
}

}  // namespace
