// --changes: the answer sets of a step told against those printed before
// give, applied to them, exactly the step's answer sets, however atoms
// move between the base and the lines; equal answer sets keep their match.
#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "driver/session/answer_changes.hpp"

namespace {

using ATOMS = std::vector<std::string>;
using SET = std::set<std::string>;

ANSWER_ATOMS lineOf(const ATOMS& atoms) {
    ANSWER_ATOMS line;
    for (const std::string& a : atoms) line.add(a);
    return line;
}

SET whole(const ATOMS& base, const ATOMS& line) {
    SET set(base.begin(), base.end());
    set.insert(line.begin(), line.end());
    return set;
}

struct STEP_CASE {
    const char* name;
    ATOMS baseBefore;
    std::vector<ATOMS> before;
    ATOMS baseNow;
    std::vector<ATOMS> now;
    // The answer set before (from 1) that each one of now is told against;
    // 0: told whole.
    std::vector<std::size_t> from;
};

// The base as a session keeps it: built from before's base by the
// changes, which are returned.
BASE_DELTA changeBase(BASE_SET& base, const ATOMS& before, const ATOMS& now) {
    ChangeBase(base, before, {});
    BASE_DELTA delta;
    const SET b(before.begin(), before.end()), n(now.begin(), now.end());
    for (const std::string& a : n)
        if (!b.count(a)) delta.added.push_back(a);
    for (const std::string& a : b)
        if (!n.count(a)) delta.removed.push_back(a);
    ChangeBase(base, delta.added, delta.removed);
    return delta;
}

TEST(AnswerChanges, AppliedToTheAnswerSetsBeforeTheyGiveTheStep) {
    const std::vector<STEP_CASE> cases = {
        {"one on each side", {"b1", "b2"}, {{"a", "c"}}, {"b1", "b3"}, {{"c", "d"}}, {1}},
        {"atoms move between base and line",
         {"b1", "m1"},
         {{"m2", "x"}},
         {"b1", "m2"},
         {{"m1", "x"}},
         {1}},
        {"an atom leaves the base: paired in order",
         {"b1", "b2", "b3"},
         {{"x"}, {"y"}},
         {"b1", "b3"},
         {{"y"}, {"x"}},
         {1, 2}},
        {"equal sets matched, whatever their order",
         {"b"},
         {{"p"}, {"q"}, {"r"}},
         {"b"},
         {{"r"}, {"p"}, {"s"}},
         {3, 1, 2}},
        {"more answer sets than before", {}, {{"p"}}, {}, {{"p", "q"}, {"r"}}, {1, 0}},
        {"fewer answer sets than before", {"b"}, {{"p"}, {"q"}}, {"b"}, {{"q"}}, {2}},
        {"a pair that shares nothing is told whole",
         {},
         {{"p"}, {"q"}},
         {},
         {{"x", "y"}, {"q"}},
         {0, 2}},
        {"none before", {}, {}, {"b"}, {{"p"}}, {0}},
        {"none now", {"b"}, {{"p"}}, {}, {}, {}},
    };
    for (const STEP_CASE& c : cases) {
        SCOPED_TRACE(c.name);
        BASE_SET base;
        ChangeBase(base, c.baseBefore, {});
        std::vector<KEPT_ANSWER> before;
        for (const ATOMS& line : c.before) before.push_back(KEPT_ANSWER{lineOf(line), base.hash});
        BASE_SET nowBase;
        const BASE_DELTA delta = changeBase(nowBase, c.baseBefore, c.baseNow);
        std::vector<KEPT_ANSWER> now;
        for (const ATOMS& line : c.now) now.push_back(KEPT_ANSWER{lineOf(line), nowBase.hash});
        const std::vector<std::optional<ANSWER_CHANGES>> told =
            StepChanges(before, now, nowBase, delta);
        ASSERT_EQ(told.size(), c.now.size());
        for (std::size_t i = 0; i < told.size(); ++i) {
            EXPECT_EQ(told[i] ? told[i]->from : 0, c.from[i]) << "answer set " << i + 1;
            if (!told[i]) continue;
            SET applied = whole(c.baseBefore, c.before[told[i]->from - 1]);
            for (std::size_t k = 0; k < told[i]->removed.size(); ++k) {
                EXPECT_EQ(applied.erase(std::string(told[i]->removed[k])), 1u);
            }
            for (std::size_t k = 0; k < told[i]->added.size(); ++k)
                EXPECT_TRUE(applied.insert(std::string(told[i]->added[k])).second);
            EXPECT_EQ(applied, whole(c.baseNow, c.now[i])) << "answer set " << i + 1;
        }
    }
}

// Changes are listed in the order of atoms, the base's and the line's
// merged, as vok prints them; pexa's strong negation as the input writes it.
TEST(AnswerChanges, ListedInTheOrderOfAtomsAsPrinted) {
    BASE_SET base;
    base.pexa = true;
    const BASE_DELTA delta = changeBase(base, {"NEG_a", "c"}, {"e"});
    const KEPT_ANSWER before{lineOf({"b", "d"}), 0}, now{lineOf({"NEG_f", "b"}), 1};
    const std::vector<std::optional<ANSWER_CHANGES>> told =
        StepChanges({before}, {now}, base, delta);
    ASSERT_TRUE(told[0]);
    EXPECT_EQ(told[0]->removed.text, "-a, c, d");
    EXPECT_EQ(told[0]->added.text, "-f, e");
}

}  // namespace
