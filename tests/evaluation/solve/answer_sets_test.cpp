#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "evaluation/solve/answer_sets.hpp"

using namespace vok::evaluation;

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
// reached is read from it (the line is a flag, not the limit).
TEST(OutputReader, PicksTheModelsOutOfOutputCutIntoChunksAnywhere) {
    const std::string summary = "\nTIME LIMIT   : 1\nModels       : 2+\n";
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
        EXPECT_TRUE(reader.timeLimitReached);
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

TEST(OneRunOutput, IsCompleteOnlyWhenTheClosingLineComesLast) {
    std::vector<std::string> lines;
    auto emit = [&](std::string_view l) {
        lines.emplace_back(l);
        return true;
    };
    OUTPUT_READER reader;
    const std::string out = "Answer: 1\nb a\nOne run: complete\n";
    ASSERT_TRUE(feedOutput(reader, out.data(), out.size(), emit));
    EXPECT_TRUE(reader.closed);
    EXPECT_EQ(lines, (std::vector<std::string>{"{a, b}\n"}));

    const std::string more = "Answer: 2\n";
    ASSERT_TRUE(feedOutput(reader, more.data(), more.size(), emit));
    EXPECT_FALSE(reader.closed);

    // As clingo prints it: the model of a round's first call unmarked, then
    // the marked ones, the closing line, clingo's result and its summary.
    OUTPUT_READER run;
    lines.clear();
    const std::string all =
        "c a\nAnswer: 1\nb a\nc\nAnswer: 2\nc a\nOne run: complete\n"
        "UNSATISFIABLE\n\nModels       : 3\n";
    ASSERT_TRUE(feedOutput(run, all.data(), all.size(), emit));
    EXPECT_TRUE(run.closed);
    EXPECT_EQ(lines, (std::vector<std::string>{"{a, b}\n", "{a, c}\n"}));
    OUTPUT_READER early;
    const std::string cut = "One run: complete\nAnswer: 1\n";
    ASSERT_TRUE(feedOutput(early, cut.data(), cut.size(), emit));
    EXPECT_FALSE(early.closed);
}

TEST(AnswerSetLine, DecodesTheAtomsOfPredicatesWrittenAsData) {
    const std::vector<std::string> names = {"rej_P0_R5", "P", "\"x y\"_P1"};
    EXPECT_EQ(formatAnswerSet("g'0(0) -g'1(1,a,\"b\\\\c\") g'0(2,-3) q", &names),
              "{\"x y\"_P1(-3), -P(a,\"b\\c\"), q, rej_P0_R5}");
    for (const char* bad : {"g'0(3)", "g'0()", "g'0(1,)", "g'0", "g'0(99999999999)"})
        EXPECT_THROW(formatAnswerSet(bad, &names), ANSWER_SET_ERROR) << bad;
    // Without names from the translation, g' is an ordinary name.
    EXPECT_EQ(formatAnswerSet("g'0(3)"), "{g'0(3)}");
}

// The models of a run that folds make one line at its end: the last model
// (clingo's own consequence enumeration), or the union or intersection of
// all of them, the atoms sorted by their text and each once.
TEST(OutputReader, FoldsTheModelsIntoOneAnswerSet) {
    const std::string output = "Answer: 1\nq p\nAnswer: 2\nr q\nAnswer: 3\nq s p\nSATISFIABLE\n";
    const struct {
        FOLD fold;
        const char* line;
    } cases[] = {{FOLD::LAST, "{p, q, s}\n"},
                 {FOLD::UNION, "{p, q, r, s}\n"},
                 {FOLD::INTERSECTION, "{q}\n"}};
    for (const auto& c : cases) {
        OUTPUT_READER reader;
        reader.fold = c.fold;
        bool emitted = false;
        ASSERT_TRUE(feedOutput(reader, output.data(), output.size(), [&](std::string_view) {
            emitted = true;
            return true;
        }));
        EXPECT_FALSE(emitted);
        EXPECT_EQ(reader.answerSets, 3u);
        EXPECT_EQ(FoldedAnswerSet(reader), c.line);
    }
    // An empty model empties an intersection, and a garbled one stops the run.
    OUTPUT_READER empty;
    empty.fold = FOLD::INTERSECTION;
    const std::string two = "Answer: 1\np\nAnswer: 2\n\n";
    ASSERT_TRUE(feedOutput(empty, two.data(), two.size(), [](std::string_view) { return true; }));
    EXPECT_EQ(FoldedAnswerSet(empty), "{}\n");
    OUTPUT_READER garbled;
    garbled.fold = FOLD::UNION;
    EXPECT_FALSE(feedOutput(garbled, "Answer: 1\np(\n", 13, [](std::string_view) { return true; }));
}
