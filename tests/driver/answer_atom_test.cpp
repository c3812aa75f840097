// Reading answer-set atoms into their name and argument texts.
#include <gtest/gtest.h>

#include "driver/answer_atom.hpp"

namespace {

using ARGS = std::vector<std::string>;

TEST(AnswerAtoms, NameAndArgumentsAreSplitAtSeparatorsOutsideQuotesAndNesting) {
    ANSWER_ATOM a = readAnswerAtom("p( a ,\tb,,c )");
    EXPECT_EQ(a.name, "p");
    EXPECT_EQ(a.args, (ARGS{"a", "b", "c"}));
    EXPECT_EQ(atomText(a), "p(a,b,c)");

    a = readAnswerAtom("q(\"x, (y}\",f(g(a, b), c))");
    EXPECT_EQ(a.args, (ARGS{"\"x, (y}\"", "f(g(a,b),c)"}));

    a = readAnswerAtom("\"a (b\"(c)");
    EXPECT_EQ(a.name, "\"a (b\"");
    EXPECT_EQ(a.args, (ARGS{"c"}));

    a = readAnswerAtom("r");
    EXPECT_FALSE(a.listed);
    EXPECT_EQ(atomText(a), "r");
    EXPECT_EQ(atomText(readAnswerAtom("r()")), "r()");
}

TEST(AnswerAtoms, TextComparisonTakesTheWholeAtom) {
    ANSWER_ATOM a = readAnswerAtom("p(\"a q, b\",c)");
    EXPECT_TRUE(hasAtomText(a, "p(\"a q, b\",c)"));
    for (const char* other : {"p", "p(\"a q, b\")", "p(\"a q, b\",c", "p(\"a q, b\",c)x", "q", ""})
        EXPECT_FALSE(hasAtomText(a, other)) << other;
    EXPECT_TRUE(hasAtomText(readAnswerAtom("p"), "p"));
    EXPECT_FALSE(hasAtomText(readAnswerAtom("p"), "p()"));
}

// Wherever the reads cut an answer set, the same atoms come out of it.
TEST(AnswerAtoms, PiecesReadLikeTheWhole) {
    const std::string set = "{a, p(b, \"c, }d\"),\tf(g( h ), i) ,\"q r\" s}tail";
    const std::vector<ANSWER_ATOM> whole = readAnswerSet(set);
    ASSERT_EQ(whole.size(), 5u);
    EXPECT_EQ(atomText(whole[1]), "p(b,\"c, }d\")");
    EXPECT_EQ(atomText(whole[2]), "f(g(h),i)");
    for (std::size_t cut = 0; cut <= set.size(); ++cut) {
        ANSWER_READER reader;
        std::vector<std::string> texts;
        auto take = [&texts](const ANSWER_ATOM& atom) { texts.push_back(atomText(atom)); };
        const bool endedEarly = readAnswerAtoms(reader, std::string_view(set).substr(0, cut), take);
        const bool ended =
            endedEarly || readAnswerAtoms(reader, std::string_view(set).substr(cut), take);
        EXPECT_TRUE(ended) << cut;
        ASSERT_EQ(texts.size(), whole.size()) << cut;
        for (std::size_t i = 0; i < texts.size(); ++i)
            EXPECT_EQ(texts[i], atomText(whole[i])) << cut;
    }
}

}  // namespace
