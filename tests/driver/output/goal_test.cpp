// The goal syntax and the brave and cautious verdicts.
#include "driver/output/goal.hpp"
#include "tests/support/driver/fixture.hpp"
#include "tests/support/driver/output/by_text.hpp"

namespace {

bool valid(const std::string& goal) {
    Goal = goal;
    return IsValidGoal();
}

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
std::pair<bool, std::string> reason(const std::string& goal, std::vector<std::string> models) {
    Goal = goal;
    bool answer = !OptionBrave;
    std::string witness;
    for (const std::string& m : models) TestForGoal(m, answer, witness);
    return {answer, witness};
}

TEST_F(Driver, GoalMatchesWholeAtomsOnly) {
    OptionBrave = true;
    for (const char* m : {"{p}", "{p, q}", "{q, p}", "{q, p, r}"})
        EXPECT_TRUE(reason("p", {m}).first) << m;
    for (const char* m : {"{pq, q}", "{p(a)}", "{-p}", "{qp}", "{}"})
        EXPECT_FALSE(reason("p", {m}).first) << m;
    EXPECT_TRUE(reason("p(\"a, b\")", {"{q, p(\"a, b\")}"}).first);
    EXPECT_FALSE(reason("p(\"a,b\")", {"{p(\"a, b\")}"}).first);
    // The goal's text inside a quoted argument is no atom of the set.
    for (const char* m : {"{s(\"a p, b\"), r}", "{s(\"{p}\")}", "{s(\"x\", \" p, \")}"})
        EXPECT_FALSE(reason("p", {m}).first) << m;
}

TEST_F(Driver, BraveKeepsTheLastModelWithTheGoal) {
    OptionBrave = true;
    EXPECT_EQ(reason("p", {"{q}", "{p}"}), std::make_pair(true, std::string("{p}")));
    EXPECT_EQ(reason("p", {"{p, a}", "{p, b}", "{q}"}),
              std::make_pair(true, std::string("{p, b}")));
    EXPECT_EQ(reason("p", {}), std::make_pair(false, std::string()));
    EXPECT_EQ(reason("p", {"{q}"}), std::make_pair(false, std::string()));
}

TEST_F(Driver, CautiousKeepsTheLastModelWithoutTheGoal) {
    OptionCautious = true;
    EXPECT_EQ(reason("q", {"{p, q}", "{q}"}), std::make_pair(true, std::string("{p, q}")));
    EXPECT_EQ(reason("p", {"{p, q}", "{q}"}), std::make_pair(false, std::string("{q}")));
    EXPECT_EQ(reason("p", {"{a}", "{p}", "{b}"}), std::make_pair(false, std::string("{b}")));
    EXPECT_EQ(reason("p", {}), std::make_pair(true, std::string()));
}

}  // namespace
