// The base set of a session: kept in the evaluation program's order through
// changes of any size, and put into every answer set with the atoms of its
// line merged in.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "driver/output/answers.hpp"
#include "driver/session/session_base.hpp"
#include "driver/show.hpp"

namespace {

std::vector<std::string> atoms(unsigned from, unsigned to) {
    std::vector<std::string> a;
    for (unsigned i = from; i < to; ++i) a.push_back("p(" + std::to_string(100000 + i) + ")");
    return a;
}

ANSWER_ATOMS lineOf(const std::vector<std::string>& atoms) {
    ANSWER_ATOMS line;
    for (const std::string& a : atoms) line.add(a);
    return line;
}

std::string answerSet(BASE_SET& base, const std::vector<std::string>& line) {
    ANSWER_ATOMS atoms;
    AnswerSetOf(base, lineOf(line), atoms);
    return AnswerText(atoms);
}

// Each atom of an answer set apart, as the JSON form lists them.
std::vector<std::string> atomList(BASE_SET& base, const std::vector<std::string>& line) {
    ANSWER_ATOMS atoms;
    AnswerSetOf(base, lineOf(line), atoms);
    std::vector<std::string> list;
    for (std::size_t i = 0; i < atoms.size(); ++i) list.emplace_back(atoms[i]);
    return list;
}

std::string joined(const std::vector<std::string>& a) {
    std::string text = "{";
    for (std::size_t i = 0; i < a.size(); ++i) text += (i ? ", " : "") + a[i];
    return text + "}";
}

TEST(SessionBase, ChangesOfAnySizeKeepTheOrder) {
    BASE_SET base;
    std::vector<std::string> all = atoms(0, 3000);
    std::vector<std::string> shuffled = all;
    std::reverse(shuffled.begin(), shuffled.end());
    ChangeBase(base, shuffled, {});                                 // many at once
    ChangeBase(base, {"a", "zz"}, {all[7], all[2999], "missing"});  // a few
    all.erase(all.begin() + 2999);
    all.erase(all.begin() + 7);
    all.insert(all.begin(), "a");
    all.push_back("zz");
    EXPECT_EQ(base.size, all.size());
    EXPECT_EQ(answerSet(base, {}), joined(all));
    EXPECT_TRUE(BaseHolds(base, "p(100008)"));
    EXPECT_FALSE(BaseHolds(base, "p(100007)"));
    EXPECT_FALSE(BaseHolds(base, "b"));
    // Emptied chunk by chunk, and filled again one by one.
    ChangeBase(base, {}, all);
    EXPECT_EQ(base.size, 0u);
    EXPECT_EQ(answerSet(base, {"q"}), "{q}");
    for (const std::string& a : atoms(0, 1500)) ChangeBase(base, {a}, {});
    EXPECT_EQ(answerSet(base, {}), joined(atoms(0, 1500)));
    // The hash follows the atoms, whichever way they came.
    BASE_SET again;
    ChangeBase(again, atoms(0, 1500), {});
    EXPECT_EQ(base.hash, again.hash);
    ChangeBase(again, {"x"}, {all[0]});
    EXPECT_NE(base.hash, again.hash);
}

// Many atoms added to a large base go into the chunks they fall into:
// atoms already there, below the first and above the last, and enough in
// one place to split its chunk; the set, its size and its hash are those of
// the base made at once.
TEST(SessionBase, ManyAtomsJoinALargeBase) {
    BASE_SET base;
    std::vector<std::string> even, odd;
    for (unsigned i = 0; i < 8000; ++i) (i % 2 ? odd : even).push_back(atoms(i, i + 1)[0]);
    ChangeBase(base, even, {});
    EXPECT_EQ(answerSet(base, {}), joined(even));  // every chunk printed once
    std::vector<std::string> added = {"a", "zz", even[5], even[3999]};
    added.insert(added.end(), odd.begin() + 100, odd.begin() + 2000);  // a dense run
    added.push_back(odd[3500]);
    ChangeBase(base, added, {});
    std::vector<std::string> all = even;
    all.insert(all.end(), odd.begin() + 100, odd.begin() + 2000);
    all.push_back(odd[3500]);
    all.push_back("a");
    all.push_back("zz");
    std::sort(all.begin(), all.end());
    EXPECT_EQ(base.size, all.size());
    EXPECT_EQ(answerSet(base, {}), joined(all));
    BASE_SET once;
    ChangeBase(once, all, {});
    EXPECT_EQ(base.hash, once.hash);
    for (const BASE_SET::CHUNK& c : base.chunks) EXPECT_LT(c.atoms.size(), 1024u);
}

// A line kept as the evaluation program wrote it is left alone; one out
// of order is sorted, and looked up.
TEST(SessionBase, LinesAreSortedOnlyWhenOutOfOrder) {
    ANSWER_ATOMS sorted = lineOf({"a", "p(1)", "p(2)"}), shuffled = lineOf({"p(2)", "a", "p(1)"});
    SortLine(sorted);
    SortLine(shuffled);
    EXPECT_EQ(sorted.text, "a, p(1), p(2)");
    EXPECT_EQ(shuffled.text, sorted.text);
    EXPECT_TRUE(LineHolds(shuffled, "p(1)"));
    EXPECT_FALSE(LineHolds(shuffled, "p(3)"));
    EXPECT_FALSE(LineHolds(ANSWER_ATOMS(), "a"));
}

TEST(SessionBase, TheAtomsOfALineAreMergedIn) {
    BASE_SET base;
    ChangeBase(base, atoms(0, 2000), {});
    // Before, between and after the chunks, at their borders, and many
    // within one chunk.
    const std::vector<std::vector<std::string>> lines = {
        {},
        {"-q", "a"},
        {"p(100000)x", "p(100511)x", "p(100512)x", "p(101999)x", "z"},
        {"p(100100)a", "p(100100)b", "p(100100)c", "p(100101)a"},
    };
    for (const std::vector<std::string>& line : lines) {
        std::vector<std::string> all = atoms(0, 2000);
        all.insert(all.end(), line.begin(), line.end());
        std::sort(all.begin(), all.end());
        EXPECT_EQ(answerSet(base, line), joined(all));
        EXPECT_EQ(atomList(base, line), all);
    }
}

TEST(SessionBase, PexaPrintsStrongNegationAsTheInputWritesIt) {
    BASE_SET base;
    base.pexa = true;
    ChangeBase(base, {"NEG_a", "b"}, {});
    EXPECT_EQ(answerSet(base, {"NEG_c"}), "{-a, -c, b}");
    EXPECT_TRUE(BaseHolds(base, "b"));
    EXPECT_EQ(PrintedAtom(base, "NEG_x"), "-x");
}

// --show (given before the session) leaves out the atoms of other
// predicates, of the base and of the line alike, whether the base's chunk
// is copied whole or merged with the line.
TEST(SessionBase, ShowLeavesOutTheOtherPredicates) {
    SHOWN_PREDICATES shown;
    ASSERT_FALSE(ReadShowList("p/1,-p/1", shown));
    BASE_SET base;
    ShowInBase(base, shown);
    ChangeBase(base, {"a", "p(1)", "q(2)", "-p(3)"}, {});
    EXPECT_EQ(answerSet(base, {}), "{-p(3), p(1)}");
    EXPECT_EQ(answerSet(base, {"b", "p(4)"}), "{-p(3), p(1), p(4)}");
}

// A #show met later (a block's) changes what is printed of every chunk,
// those whose printed atoms were made before it too.
TEST(SessionBase, ALaterShowReachesEveryChunk) {
    BASE_SET base;
    std::vector<std::string> all = atoms(0, 5000);
    all.push_back("a");
    ChangeBase(base, all, {});
    ASSERT_GT(base.chunks.size(), 1u);
    const std::string whole = answerSet(base, {});
    SHOWN_PREDICATES onlyA;
    onlyA.also({{"a", 0}});
    ShowInBase(base, onlyA);
    EXPECT_EQ(answerSet(base, {"p(1)"}), "{a}");
    ShowInBase(base, SHOWN_PREDICATES());
    EXPECT_EQ(answerSet(base, {}), whole);
}

}  // namespace
