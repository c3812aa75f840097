// The parse stack limit, reachable only in the build whose stack starts at
// 2 states and may grow to 8: it grows while there is room, and beyond
// that the input ends with "parser stack overflow", never with the parser
// generator's own words.
#include "input_fixture.hpp"

namespace {

using ParseStack = InputTest;

TEST_F(ParseStack, GrowsFromItsInitialSize) {
    EXPECT_EQ(parse("p. q :- p."), 0);
    EXPECT_EQ(rulesOf(0), (std::vector<std::string>{"p.", "q :- p."}));
}

TEST_F(ParseStack, OverflowEndsTheInputWithItsOwnMessage) {
    std::string err = stderrOf([] { EXPECT_EQ(parse("p.\nq :- r(a, s)."), 2); });
    EXPECT_EQ(err, "line 2: parser stack overflow.\n");
    EXPECT_TRUE(noValueLeft());
    EXPECT_EQ(TestParser().errors, 0);
    EXPECT_EQ(rulesOf(0), std::vector<std::string>{"p."});
}

}  // namespace
