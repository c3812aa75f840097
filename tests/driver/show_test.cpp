// --show: which lists are taken, and which atoms they show.
#include "driver/output/show.hpp"

#include <gtest/gtest.h>

namespace {

struct Show : ::testing::Test {
    void TearDown() override { ShowEveryAtom(); }
    static bool shown(const std::string& atom) { return IsShown(readAnswerAtom(atom)); }
};

TEST_F(Show, TakesPredicatesWrittenNameSlashArity) {
    EXPECT_EQ(ReadShowList("p/1,q/0,-r/2"), std::nullopt);
    EXPECT_EQ(ReadShowList(" p/1 , q_2x/0"), std::nullopt);
    EXPECT_EQ(ReadShowList("p/1,p/1"), std::nullopt);
    // The entry at fault is named, blanks around it left out.
    struct BAD {
        const char* list;
        const char* entry;
    };
    for (const BAD& bad :
         {BAD{"", ""}, BAD{"p", "p"}, BAD{"p/", "p/"}, BAD{"/1", "/1"}, BAD{"p/x", "p/x"},
          BAD{"p/-1", "p/-1"}, BAD{"p/1,", ""}, BAD{",p/1", ""}, BAD{"p/1,,q/0", ""},
          BAD{"1p/0", "1p/0"}, BAD{"_p/0", "_p/0"}, BAD{"--p/0", "--p/0"}, BAD{"p q/1", "p q/1"},
          BAD{"p/1/2", "p/1/2"}, BAD{"p(a)/1", "p(a)/1"},
          BAD{"q/0, p/99999999999999999999999", "p/99999999999999999999999"}})
        EXPECT_EQ(ReadShowList(bad.list), std::optional<std::string>(bad.entry)) << bad.list;
}

TEST_F(Show, ShowsTheAtomsOfTheListedPredicatesOnly) {
    EXPECT_TRUE(shown("anything(1)")) << "without --show every atom is shown";
    ASSERT_EQ(ReadShowList("p/1,q/0,-r/2"), std::nullopt);
    for (const char* atom : {"p(a)", "p(\"x, y\")", "q", "-r(1,2)", "-r(f(a,b),\"/\")"})
        EXPECT_TRUE(shown(atom)) << atom;
    // Another arity, the other sign, a longer or shorter name: not shown.
    for (const char* atom : {"p", "p(a,b)", "-p(a)", "q(a)", "-q", "r(1,2)", "pp(a)", "-r(1)"})
        EXPECT_FALSE(shown(atom)) << atom;
    // A list refused leaves the one before in force.
    EXPECT_EQ(ReadShowList("s/0,"), std::optional<std::string>(""));
    EXPECT_TRUE(shown("q"));
    EXPECT_FALSE(shown("s"));
    ShowEveryAtom();
    EXPECT_TRUE(shown("s"));
}

TEST_F(Show, InputsShowWhatEitherShows) {
    // #show alone: its predicates only; "#show." alone: nothing.
    ShowAlso({{"p", 1}, {"-r", 0}});
    EXPECT_TRUE(shown("p(a)"));
    EXPECT_TRUE(shown("-r"));
    EXPECT_FALSE(shown("q"));
    ShowEveryAtom();
    ShowAlso({});
    EXPECT_FALSE(shown("p(a)"));
    // With --show: what either lists, each once however often given.
    ShowEveryAtom();
    ASSERT_EQ(ReadShowList("q/0,p/1"), std::nullopt);
    ShowAlso({{"p", 1}, {"s", 2}, {"p", 1}});
    for (const char* atom : {"q", "p(a)", "s(1,2)"}) EXPECT_TRUE(shown(atom)) << atom;
    EXPECT_FALSE(shown("s(1)"));
}

}  // namespace
