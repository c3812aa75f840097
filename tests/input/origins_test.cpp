// What the parser keeps about each stored rule for --explain: its input,
// the line where it begins, and its text with the variables' own names.
#include "input/origins.hpp"
#include "input_fixture.hpp"

namespace {

struct Origins : InputTest {
    void SetUp() override {
        InputTest::SetUp();
        UseParseSettings(PARSE_SETTINGS{.explain = true});
    }
    static const RULE_ORIGINS& origins() { return TestSequence().origins; }
    static std::string where(unsigned i, unsigned j) {
        const RULE_ORIGIN* o = RuleOrigin(origins(), i, j);
        if (!o) return "none";
        return origins().inputs[o->input] + ":" + std::to_string(o->line) + " " + o->text;
    }
};

TEST_F(Origins, StoredRulesKeepInputLineAndNamedText) {
    TestParser().file = "a.lp";
    // The unsafe rule is neither stored nor numbered.
    EXPECT_EQ(stderrOf([] {
                  parse(
                      "% comment\n{ p(X) :- q(X), k(X, Y),\n  not r(Y). q(a).\n"
                      "  bad(X) :- not q(X).\n  t :- u(_, Z), not w(Z).\n"
                      "  -s(X) :- q(X), X < 3.\n  v(\"a b\", 7). }\n{\n\n  z. }");
              }),
              "a.lp: line 4: Rule is not safe.\n"
              "a.lp: line 4: variable X is unsafe: no positive body literal binds it.\n");
    EXPECT_EQ(where(0, 0), "a.lp:2 p(X) :- q(X), k(X, Y), not r(Y).");
    EXPECT_EQ(where(0, 1), "a.lp:3 q(a).");
    EXPECT_EQ(where(0, 2), "a.lp:5 t :- u(_, Z), not w(Z).");
    EXPECT_EQ(where(0, 3), "a.lp:6 -s(X) :- q(X), <(X, 3).");
    EXPECT_EQ(where(0, 4), "a.lp:7 v(\"a b\", 7).");
    EXPECT_EQ(where(0, 5), "none");
    EXPECT_EQ(where(1, 0), "a.lp:10 z.");
    // Variables by number; the anonymous one has no name.
    EXPECT_EQ(RuleOrigin(origins(), 0, 2)->variables, (Texts{"", "Z"}));
    EXPECT_EQ(RuleOrigin(origins(), 0, 3)->head.name(), "-s");

    TestParser().file = "";
    ASSERT_EQ(parse("y :- z."), 0);
    EXPECT_EQ(where(2, 0), "<stdin>:1 y :- z.");
    EXPECT_EQ(origins().inputs, (Texts{"a.lp", "<stdin>"}));
}

TEST_F(Origins, NothingIsKeptWithoutExplain) {
    UseParseSettings(PARSE_SETTINGS{});
    ASSERT_EQ(parse("p(X) :- q(X). q(a)."), 0);
    EXPECT_TRUE(origins().rules.empty());
    EXPECT_EQ(RuleOrigin(origins(), 0, 0), nullptr);
}

}  // namespace
