#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "answer_sets.hpp"
#include "names.hpp"

using namespace vok::evaluation;

TEST(ClingoNames, EncodeOnlyWhatClingoWouldReadDifferently) {
    using K = NAME::KIND;
    EXPECT_EQ(encodePredicate({K::IDENTIFIER, "rej_P0_R0"}), "rej_P0_R0");
    EXPECT_EQ(encodePredicate({K::IDENTIFIER, "P"}), "u'P");
    EXPECT_EQ(encodePredicate({K::IDENTIFIER, "NEG_b"}), "u'NEG_b");
    EXPECT_EQ(encodePredicate({K::IDENTIFIER, "not"}), "u'not");
    EXPECT_EQ(encodePredicate({K::IDENTIFIER, "nota"}), "nota");
    EXPECT_EQ(encodePredicate({K::QUOTED, "\"my pred\""}), "s''22my'20pred'22");
    EXPECT_EQ(encodePredicate({K::QUOTED, "\"a b\"_P1"}), "s''22a'20b'22_P1");
}

TEST(ClingoNames, DecodeBackToTheFileForm) {
    for (const NAME& n :
         {NAME{NAME::KIND::IDENTIFIER, "p_1"}, NAME{NAME::KIND::IDENTIFIER, "Q"},
          NAME{NAME::KIND::IDENTIFIER, "not"}, NAME{NAME::KIND::QUOTED, "\"a 'b', c%\\ \xc3\xa9\""},
          NAME{NAME::KIND::QUOTED, "\"u'x\"_P0"}, NAME{NAME::KIND::QUOTED, "\"\""}}) {
        EXPECT_EQ(decodePredicate(encodePredicate(n)), n.text) << n.text;
    }
    // A quoted name and an identifier of the same letters stay apart.
    EXPECT_NE(encodePredicate({NAME::KIND::QUOTED, "\"P\""}),
              encodePredicate({NAME::KIND::IDENTIFIER, "P"}));
    // Names clingo invented are shown as they are.
    EXPECT_EQ(decodePredicate("s'bad'zz"), "s'bad'zz");
}

TEST(AnswerSetLine, IsSortedDecodedAndSeparatedByCommaBlank) {
    EXPECT_EQ(formatAnswerSet(""), "{}");
    EXPECT_EQ(formatAnswerSet("r q -u'P(a) s''22x'20y'22(b,-3) -s''22x'22_P0"),
              "{\"x y\"(b,-3), -\"x\"_P0, -P(a), q, r}");
    // Strings: clingo's escapes undone, blanks and commas kept.
    EXPECT_EQ(formatAnswerSet("p(\"a b, c\") p(\"x\\\\y\\\"z\")"),
              "{p(\"a b, c\"), p(\"x\\y\"z\")}");
    EXPECT_EQ(formatAnswerSet("p(f(a,\"b c\"),(1,2),#sup)"), "{p(f(a,\"b c\"),(1,2),#sup)}");
}

TEST(AnswerSetLine, RefusesTextThatIsNoListOfAtoms) {
    EXPECT_THROW(formatAnswerSet("p(\"open"), ANSWER_SET_ERROR);
    EXPECT_THROW(formatAnswerSet("p(a"), ANSWER_SET_ERROR);
    EXPECT_THROW(formatAnswerSet("p  q"), ANSWER_SET_ERROR);
    EXPECT_THROW(formatAnswerSet("SATISFIABLE!"), ANSWER_SET_ERROR);
    EXPECT_THROW(formatAnswerSet("p(-)"), ANSWER_SET_ERROR);
}

TEST(AnswerSetLine, RefusesTermsNestedBeyondWhatTheStackHolds) {
    const std::string deep = "p(" + std::string(1000000, '(');
    try {
        formatAnswerSet(deep);
        FAIL() << "accepted";
    } catch (const ANSWER_SET_ERROR& e) {
        EXPECT_STREQ(e.what(),
                     "unexpected answer-set text from clingo (terms nested too deeply at column "
                     "1002)");
    }
    // Nesting up to the limit still reads.
    const std::string nested = "p" + std::string(1000, '(') + "a" + std::string(1000, ')');
    EXPECT_EQ(formatAnswerSet(nested), "{" + nested + "}");
}

// The summary after the result line is kept for --stats, and a time limit
// reached is read from it.
TEST(OutputReader, PicksTheModelsOutOfOutputCutIntoChunksAnywhere) {
    const std::string summary = "\nTIME LIMIT   : 5\nModels       : 2+\n";
    const std::string output =
        "clingo version 5.4.0\nReading from stdin\nSolving...\nAnswer: 1\nq p\nAnswer: 2\n\n"
        "SATISFIABLE\n" +
        summary;
    for (std::size_t chunk = 1; chunk <= output.size(); ++chunk) {
        OUTPUT_READER reader;
        std::string printed;
        auto emit = [&](std::string_view line) {
            printed += line;
            return true;
        };
        for (std::size_t i = 0; i < output.size(); i += chunk)
            ASSERT_TRUE(
                feedOutput(reader, output.data() + i, std::min(chunk, output.size() - i), emit));
        EXPECT_EQ(printed, "{p, q}\n{}\n") << chunk;
        EXPECT_EQ(reader.answerSets, 2u);
        EXPECT_FALSE(reader.expectModel);
        EXPECT_EQ(reader.summary, summary);
        EXPECT_EQ(reader.timeLimit, "5");
    }
}

TEST(OutputReader, StopsAtAGarbledModelAndShowsAModelCutShort) {
    auto emit = [](std::string_view) { return true; };
    OUTPUT_READER garbled;
    EXPECT_FALSE(feedOutput(garbled, "Answer: 1\np(\n", 13, emit));
    EXPECT_EQ(garbled.error,
              "unexpected answer-set text from clingo (expected a term at column 3)");

    // The output ends inside a model's line: it is not counted as read.
    OUTPUT_READER cut;
    EXPECT_TRUE(feedOutput(cut, "Answer: 1\np q", 14, emit));
    EXPECT_TRUE(cut.expectModel);
    EXPECT_EQ(cut.answerSets, 0u);
}
