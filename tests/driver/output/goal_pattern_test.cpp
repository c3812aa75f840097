// Goals as patterns: how they read, which atoms they match, and the
// instances that brave and cautious reasoning keep.
#include "driver/output/goal_pattern.hpp"

#include "driver/output/goal.hpp"
#include "tests/support/driver/fixture.hpp"
#include "tests/support/driver/output/by_text.hpp"

namespace {

struct READ_CASE {
    const char* goal;
    const char* text;       // as an answer set writes it; null: refused
    const char* variables;  // named ones, joined by " "
    std::size_t column;     // of a refusal
    const char* reason;
};

TEST(GoalPattern, ReadsOrSaysWhereItStops) {
    const READ_CASE cases[] = {
        {"p", "p", "", 0, ""},
        {" - allowed ( X , repo ) ", "-allowed(X,repo)", "X", 0, ""},
        {"p(\"a, (b)\", Y,Y, _)", "p(\"a, (b)\",Y,Y,_)", "Y", 0, ""},
        {"p(f(a, g(X)), 12, _x)", "p(f(a,g(X)),12,_x)", "X _x", 0, ""},
        {"\"x y\"(A, B, A)", "\"x y\"(A,B,A)", "A B", 0, ""},
        {"", nullptr, "", 1, "the goal is empty"},
        {"p(a, b", nullptr, "", 2, "unbalanced parenthesis"},
        {"p(f(a, b)", nullptr, "", 2, "unbalanced parenthesis"},
        {"p(a) x", nullptr, "", 6, "unexpected 'x'"},
        {"p(X(a))", nullptr, "", 3, "a variable takes no arguments"},
        {"p( )", nullptr, "", 4, "an empty argument list"},
        {"p(a,)", nullptr, "", 5, "unexpected ')'"},
        {"p(12a)", nullptr, "", 5, "unexpected 'a'"},
        {"-p(-3, X)", "-p(-3,X)", "X", 0, ""},
        {"p(- 3)", nullptr, "", 3, "unexpected '-'"},
        {"p(\"a)", nullptr, "", 3, "a quoted string without its closing quote"},
        {"--p", nullptr, "", 2, "unexpected '-'"},
        {"p q", nullptr, "", 3, "unexpected 'q'"},
        {"p(#inf, f(#sup), X)", "p(#inf,f(#sup),X)", "X", 0, ""},
        {"p(#infinity)", nullptr, "", 3, "unexpected '#'"},
        {"#inf", nullptr, "", 1, "unexpected '#'"},
    };
    for (const READ_CASE& c : cases) {
        const GOAL_PARSE parse = ParseGoal(c.goal);
        if (!c.text) {
            ASSERT_FALSE(parse.pattern) << c.goal;
            EXPECT_EQ(parse.error.column, c.column) << c.goal;
            EXPECT_EQ(parse.error.reason, c.reason) << c.goal;
            continue;
        }
        ASSERT_TRUE(parse.pattern) << c.goal << ": " << parse.error.reason;
        EXPECT_EQ(parse.pattern->text, c.text);
        std::string vars;
        for (const std::string& v : parse.pattern->variables) vars += (vars.empty() ? "" : " ") + v;
        EXPECT_EQ(vars, c.variables) << c.goal;
    }
    EXPECT_TRUE(ParseGoal("p(f(a), \"b\")").pattern->ground());
    EXPECT_FALSE(ParseGoal("p(_)").pattern->ground());
}

struct MATCH_CASE {
    const char* goal;
    const char* atom;
    const char* values;  // of the named variables joined by " "; null: no match
};

TEST(GoalPattern, MatchesAtomsByNameArityAndArguments) {
    const MATCH_CASE cases[] = {
        {"p(X)", "p(a)", "a"},
        {"p(X)", "p", nullptr},
        {"p(X)", "p(a,b)", nullptr},
        {"p(X)", "pq(a)", nullptr},
        {"p(X)", "-p(a)", nullptr},
        {"-p(X)", "-p(a)", "a"},
        {"-p(X)", "p(a)", nullptr},
        {"p(X,X)", "p(a,a)", "a"},
        {"p(X,-3)", "p(-3,-3)", "-3"},
        {"p(X,X)", "p(a,b)", nullptr},
        {"p(X,X)", "p(\"a,b\",\"a,b\")", "\"a,b\""},
        {"p(_,_)", "p(a,b)", ""},
        {"p(X,\"a, (b)\")", "p(1,\"a, (b)\")", "1"},
        {"p(X,\"a, (b)\")", "p(1,\"a,(b)\")", nullptr},
        {"p(X, 7)", "p(c,7)", "c"},
        {"p(X, 7)", "p(c,07)", nullptr},
        {"p(f(X, g(Y)))", "p(f(a,g(\"b, c\")))", "a \"b, c\""},
        {"p(f(X, g(Y)))", "p(f(a,h(b)))", nullptr},
        {"p(f(X, g(Y)))", "p(f(a,g(b),c))", nullptr},
        {"p(f(X))", "p(\"f(a)\")", nullptr},
        {"p(f(a))", "p(f(a))", ""},
        {"\"x y\"(X)", "\"x y\"(c1)", "c1"},
        {"p(X,#sup)", "p(#inf,#sup)", "#inf"},
        {"p(#inf)", "p(#sup)", nullptr},
    };
    for (const MATCH_CASE& c : cases) {
        const GOAL_PATTERN pattern = *ParseGoal(c.goal).pattern;
        EXPECT_EQ(MatchGoalText(pattern, c.atom), c.values != nullptr) << c.goal << " " << c.atom;
        if (!c.values) continue;
        std::string values;
        for (const std::string& v : BoundValues(pattern, c.atom))
            values += (values.empty() ? "" : " ") + v;
        EXPECT_EQ(values, c.values) << c.goal << " " << c.atom;
    }
}

// The verdict over answer sets given as text: the instances one a line,
// each with its witness's number in brackets for brave reasoning, then the
// witnesses.
std::string verdict(bool brave, const char* goal, std::vector<std::string> models) {
    GOAL_ANSWER answer = UnansweredGoal(GOAL_QUESTION{brave, !brave, goal});
    for (const std::string& m : models) {
        GOAL_MATCHES matches;
        for (const ANSWER_ATOM& atom : readAnswerSet(m)) NoteGoalAtom(answer, atom, matches);
        ANSWER model = answerOf(m);
        RecordForGoal(model, matches, answer);
    }
    std::string text = answer.holds ? "true." : "false.";
    for (const GOAL_INSTANCE& i : GoalInstances(answer)) {
        text += " " + std::string(i.atom);
        if (i.witness) text += "[" + std::to_string(*i.witness) + "]";
    }
    for (const ANSWER& w : answer.witnesses) text += " " + AnswerText(w.atoms);
    return text;
}

TEST_F(Driver, BraveKeepsEveryInstanceWithTheFirstAnswerSetHoldingIt) {
    const std::vector<std::string> sets = {"{p(b), q}", "{p(b), p(a)}", "{p(c), p(a)}", "{q}"};
    EXPECT_EQ(verdict(true, "p(X)", sets),
              "true. p(a)[1] p(b)[0] p(c)[2] {p(b), q} {p(b), p(a)} {p(c), p(a)}");
    // An answer set that adds nothing new is no witness.
    EXPECT_EQ(verdict(true, "p(X)", {"{p(a)}", "{p(a), q}"}), "true. p(a)[0] {p(a)}");
    EXPECT_EQ(verdict(true, "r(X)", sets), "false.");
    EXPECT_EQ(verdict(true, "r(X)", {}), "false.");
}

TEST_F(Driver, CautiousKeepsTheInstancesOfEveryAnswerSet) {
    EXPECT_EQ(verdict(false, "p(X)", {"{p(a), p(b)}", "{p(b), p(a), p(c)}", "{p(b), p(a)}"}),
              "true. p(a) p(b)");
    EXPECT_EQ(verdict(false, "p(X)", {"{p(a), p(b)}", "{p(b)}", "{p(a), p(b)}"}), "true. p(b)");
    EXPECT_EQ(verdict(false, "p(X)", {"{p(a)}", "{p(b)}"}), "false.");
    // Once none is left, none comes back.
    EXPECT_EQ(verdict(false, "p(X)", {"{p(a)}", "{q}", "{p(a)}"}), "false.");
    // Without answer sets the goal holds vacuously, with no instance.
    EXPECT_EQ(verdict(false, "p(X)", {}), "true.");
}

TEST_F(Driver, GroundGoalsInPatternSyntaxAreOneAtom) {
    EXPECT_EQ(verdict(true, "p(a, \"b c\")", {"{p(a,\"b c\")}"}), "true.");
    bool answer = false;
    std::string witness;
    TestForGoal(GOAL_QUESTION{true, false, "- p( a )"}, "{p(a), -p(a)}", answer, witness);
    EXPECT_TRUE(answer);
}

TEST_F(Driver, RefusalsSayWhyForPatternSyntaxOnly) {
    EXPECT_EQ(GoalRefusal("p(a", "vok"), "Invalid goal: p(a.");
    EXPECT_EQ(GoalRefusal("", "vok"), "Invalid goal: .");
    EXPECT_EQ(GoalRefusal("p(X, a", "vok"),
              "Invalid goal: p(X, a.\nvok: unbalanced parenthesis at column 2");
    EXPECT_EQ(GoalRefusal("-p(a))", "vok"),
              "Invalid goal: -p(a)).\nvok: unexpected ')' at column 6");
    EXPECT_EQ(GoalRefusal("p(X, a)", "vok"), std::nullopt);
    EXPECT_EQ(GoalRefusal("p(,a)", "vok"), std::nullopt);
}

}  // namespace
