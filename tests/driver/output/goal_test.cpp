// The goal syntax and the brave and cautious verdicts.
#include "driver/output/goal.hpp"
#include "tests/support/driver/fixture.hpp"
#include "tests/support/driver/output/by_text.hpp"

namespace {

bool valid(const std::string& goal) { return IsValidGoal(goal); }

const GOAL_QUESTION Brave{true, false, ""}, Cautious{false, true, ""};

// Goals of the old form stay valid, whether or not they read as patterns
// ("p(,a)", "1"); patterns add blanks, "-" and nested terms.
TEST_F(Driver, GoalsAreOldFormsOrPatterns) {
    for (const char* g :
         {"p", "p(a)", "p(a,b)", "p_1(x_2)", "p(\"a b\")", "p(\"a, (b)\",c)", "P", "p(X)", "_",
          "p(,a)", "1", "p(1a)", "-p", "p(f(a))", "p(a, b)", "p(a) ", " - p ( X , f( _ ) ) "})
        EXPECT_TRUE(valid(g)) << g;
    for (const char* g : {"", "(a)", "p(a", "p(a)x", "a,p(b)", "p(\"a)", "p(\"a\"\")", "p q", "p.",
                          "p()x)", "--p", "p(X(a))", "p(a;b)"})
        EXPECT_FALSE(valid(g)) << g;
}

// The verdict over a list of filtered answer sets.
std::pair<bool, std::string> reason(GOAL_QUESTION question, const std::string& goal,
                                    std::vector<std::string> models) {
    question.goal = goal;
    bool answer = !question.brave;
    std::string witness;
    for (const std::string& m : models) TestForGoal(question, m, answer, witness);
    return {answer, witness};
}

TEST_F(Driver, GoalMatchesWholeAtomsOnly) {
    for (const char* m : {"{p}", "{p, q}", "{q, p}", "{q, p, r}"})
        EXPECT_TRUE(reason(Brave, "p", {m}).first) << m;
    for (const char* m : {"{pq, q}", "{p(a)}", "{-p}", "{qp}", "{}"})
        EXPECT_FALSE(reason(Brave, "p", {m}).first) << m;
    EXPECT_TRUE(reason(Brave, "p(\"a, b\")", {"{q, p(\"a, b\")}"}).first);
    EXPECT_FALSE(reason(Brave, "p(\"a,b\")", {"{p(\"a, b\")}"}).first);
    // The goal's text inside a quoted argument is no atom of the set.
    for (const char* m : {"{s(\"a p, b\"), r}", "{s(\"{p}\")}", "{s(\"x\", \" p, \")}"})
        EXPECT_FALSE(reason(Brave, "p", {m}).first) << m;
}

TEST_F(Driver, BraveKeepsTheLastModelWithTheGoal) {
    EXPECT_EQ(reason(Brave, "p", {"{q}", "{p}"}), std::make_pair(true, std::string("{p}")));
    EXPECT_EQ(reason(Brave, "p", {"{p, a}", "{p, b}", "{q}"}),
              std::make_pair(true, std::string("{p, b}")));
    EXPECT_EQ(reason(Brave, "p", {}), std::make_pair(false, std::string()));
    EXPECT_EQ(reason(Brave, "p", {"{q}"}), std::make_pair(false, std::string()));
}

TEST_F(Driver, CautiousKeepsTheLastModelWithoutTheGoal) {
    EXPECT_EQ(reason(Cautious, "q", {"{p, q}", "{q}"}),
              std::make_pair(true, std::string("{p, q}")));
    EXPECT_EQ(reason(Cautious, "p", {"{p, q}", "{q}"}), std::make_pair(false, std::string("{q}")));
    EXPECT_EQ(reason(Cautious, "p", {"{a}", "{p}", "{b}"}),
              std::make_pair(false, std::string("{b}")));
    EXPECT_EQ(reason(Cautious, "p", {}), std::make_pair(true, std::string()));
}

}  // namespace
