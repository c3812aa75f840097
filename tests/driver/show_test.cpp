// --show: which lists are taken, and which atoms they show.
#include "driver/show.hpp"

#include <gtest/gtest.h>

namespace {

struct PREDICATE {
    const char* name;
    std::size_t arity;
};

bool shown(const SHOWN_PREDICATES& list, PREDICATE p) { return list.shows(p.name, p.arity); }

std::optional<std::string> read(const char* text) {
    SHOWN_PREDICATES list;
    return ReadShowList(text, list);
}

TEST(Show, TakesPredicatesWrittenNameSlashArity) {
    EXPECT_EQ(read("p/1,q/0,-r/2"), std::nullopt);
    EXPECT_EQ(read(" p/1 , q_2x/0"), std::nullopt);
    EXPECT_EQ(read("p/1,p/1"), std::nullopt);
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
        EXPECT_EQ(read(bad.list), std::optional<std::string>(bad.entry)) << bad.list;
}

TEST(Show, ShowsTheAtomsOfTheListedPredicatesOnly) {
    SHOWN_PREDICATES list;
    EXPECT_TRUE(shown(list, {"anything", 1})) << "without --show every atom is shown";
    ASSERT_EQ(ReadShowList("p/1,q/0,-r/2", list), std::nullopt);
    for (PREDICATE p : {PREDICATE{"p", 1}, {"q", 0}, {"-r", 2}})
        EXPECT_TRUE(shown(list, p)) << p.name << "/" << p.arity;
    // Another arity, the other sign, a longer or shorter name: not shown.
    for (PREDICATE p : {PREDICATE{"p", 0},
                        {"p", 2},
                        {"-p", 1},
                        {"q", 1},
                        {"-q", 0},
                        {"r", 2},
                        {"pp", 1},
                        {"-r", 1},
                        {"", 0}})
        EXPECT_FALSE(shown(list, p)) << p.name << "/" << p.arity;
    // A list refused leaves the one before in force.
    EXPECT_EQ(ReadShowList("s/0,", list), std::optional<std::string>(""));
    EXPECT_TRUE(shown(list, {"q", 0}));
    EXPECT_FALSE(shown(list, {"s", 0}));
}

TEST(Show, InputsShowWhatEitherShows) {
    // #show alone: its predicates only; "#show." alone: nothing.
    SHOWN_PREDICATES inputs;
    inputs.also({{"p", 1}, {"-r", 0}});
    EXPECT_TRUE(shown(inputs, {"p", 1}));
    EXPECT_TRUE(shown(inputs, {"-r", 0}));
    EXPECT_FALSE(shown(inputs, {"q", 0}));
    SHOWN_PREDICATES nothing;
    nothing.also({});
    EXPECT_FALSE(shown(nothing, {"p", 1}));
    // With --show: what either lists, each once however often given.
    SHOWN_PREDICATES both;
    ASSERT_EQ(ReadShowList("q/0,p/1", both), std::nullopt);
    both.also({{"p", 1}, {"s", 2}, {"p", 1}});
    for (PREDICATE p : {PREDICATE{"q", 0}, {"p", 1}, {"s", 2}})
        EXPECT_TRUE(shown(both, p)) << p.name;
    EXPECT_FALSE(shown(both, {"s", 1}));
    EXPECT_EQ(both.predicates.size(), 3u);
}

}  // namespace
