// Reading answer-set atoms into their text, name and argument texts.
#include <gtest/gtest.h>

#include "driver/output/answer_atom.hpp"

namespace {

using TEXTS = std::vector<std::string>;

TEXTS argumentsOf(const ANSWER_ATOM& a) {
    TEXTS args;
    for (std::size_t i = 0; i < a.argCount(); ++i) args.emplace_back(a.arg(i));
    return args;
}

TEST(AnswerAtoms, NameAndArgumentsAreSplitAtSeparatorsOutsideQuotesAndNesting) {
    ANSWER_ATOM a = readAnswerAtom("p( a ,\tbc,,d )");
    EXPECT_EQ(a.text, "p(a,bc,d)");
    EXPECT_EQ(a.name(), "p");
    EXPECT_EQ(argumentsOf(a), (TEXTS{"a", "bc", "d"}));

    a = readAnswerAtom("q(\"x, (y}\",f(g(a, b), c))");
    EXPECT_EQ(argumentsOf(a), (TEXTS{"\"x, (y}\"", "f(g(a,b),c)"}));

    a = readAnswerAtom("\"a (b\"(c)");
    EXPECT_EQ(a.name(), "\"a (b\"");
    EXPECT_EQ(argumentsOf(a), (TEXTS{"c"}));

    a = readAnswerAtom("r");
    EXPECT_FALSE(a.listed);
    EXPECT_EQ(a.name(), "r");
    EXPECT_EQ(readAnswerAtom("r( )").text, "r()");
    EXPECT_EQ(readAnswerAtom("r( )").argCount(), 0u);

    // A list cut off by the end of the answer set keeps what it has.
    a = readAnswerSet("{s(a, b}").at(0);
    EXPECT_EQ(a.text, "s(a,b");
    EXPECT_EQ(argumentsOf(a), (TEXTS{"a", "b"}));
}

// Line ends of either kind and runs of separators between atoms or at the
// end of a text yield no atom of their own.
TEST(AnswerAtoms, SeparatorsAloneAreNoAtoms) {
    TEXTS texts;
    for (const ANSWER_ATOM& a : readAnswerSet("{a,\r\n b(c,\r\nd),\r\n")) texts.push_back(a.text);
    EXPECT_EQ(texts, (TEXTS{"a", "b(c,d)"}));
}

TEST(AnswerAtoms, RenamingTheNameKeepsTheArguments) {
    ANSWER_ATOM a = readAnswerAtom("NEG_p(a,\"b c\")");
    a.renameStart(4, "-");
    EXPECT_EQ(a.text, "-p(a,\"b c\")");
    EXPECT_EQ(a.name(), "-p");
    EXPECT_EQ(argumentsOf(a), (TEXTS{"a", "\"b c\""}));
}

// Wherever the reads cut an answer set, the same atoms come out of it.
TEST(AnswerAtoms, PiecesReadLikeTheWhole) {
    const std::string set = "{a, p(b, \"c, }d\"),\tf(g( h ), i) ,\"q r\" s}tail";
    TEXTS whole;
    for (const ANSWER_ATOM& a : readAnswerSet(set)) whole.push_back(a.text);
    EXPECT_EQ(whole, (TEXTS{"a", "p(b,\"c, }d\")", "f(g(h),i)", "\"q r\"", "s"}));
    for (std::size_t cut = 0; cut <= set.size(); ++cut) {
        ANSWER_READER reader;
        TEXTS texts;
        auto take = [&texts](const ANSWER_ATOM& atom) { texts.push_back(atom.text); };
        const std::string_view text(set);
        const bool ended = readAnswerAtoms(reader, text.substr(0, cut), take) ||
                           readAnswerAtoms(reader, text.substr(cut), take);
        EXPECT_TRUE(ended) << cut;
        EXPECT_EQ(texts, whole) << cut;
    }
}

}  // namespace
