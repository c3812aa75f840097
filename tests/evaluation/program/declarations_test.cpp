#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/contract.hpp"
#include "evaluation/program/declarations.hpp"
#include "evaluation/program/reader.hpp"

using namespace vok::evaluation;

namespace {

// The message and line of the refusal of a file's declarations, or
// "accepted".
std::string refusal(const std::string& text) {
    try {
        PROGRAM program = ReadRox(text);
        CheckRejectionList(ReadRejectionList(program.declarations), program);
    } catch (const SYNTAX_ERROR& e) {
        return std::to_string(e.line) + ": " + e.what();
    }
    return "accepted";
}

const std::string Rules = "rej_P0_R0(X0) :- q(X0), -p_P1(X0).\nrej_P1_R2 :- a.\n";

}  // namespace

TEST(RejectionList, IsReadFromTheCommentsAtTheEndOfEitherForm) {
    PROGRAM rox = ReadRox(Rules +
                          "%vok:rejection rej_P0_R0 1 1\n%vok:rejection rej_P1_R2 0 2\n"
                          "%vok:rejections 2\n");
    REJECTION_LIST list = ReadRejectionList(rox.declarations);
    ASSERT_TRUE(list.closed);
    ASSERT_EQ(list.predicates.size(), 2u);
    EXPECT_EQ(list.predicates[0].name, "rej_P0_R0");
    EXPECT_EQ(list.predicates[0].arity, 1u);
    EXPECT_EQ(list.predicates[1].level, 2u);
    EXPECT_EQ(list.predicates[1].line, 4);
    EXPECT_NO_THROW(CheckRejectionList(list, rox));

    // After "})" in the pexa form; an empty list is closed too.
    PROGRAM pexa = ReadPexa("@SET FUNCTION\n@LP({\na.\n})\n%vok:rejections 0\n");
    list = ReadRejectionList(pexa.declarations);
    EXPECT_TRUE(list.closed);
    EXPECT_TRUE(list.predicates.empty());

    // A file written without the list declares nothing, and ordinary
    // comments, or "%vok:" inside a quoted string, are no declarations.
    PROGRAM plain = ReadRox("% vok:rejections 0\np(\"x\n%vok:rejections 0\n\").\n");
    EXPECT_TRUE(plain.declarations.empty());
    EXPECT_FALSE(ReadRejectionList(plain.declarations).closed);
}

TEST(RejectionList, RefusesWhatDoesNotDescribeTheProgram) {
    const std::string one = "%vok:rejection rej_P0_R0 1 1\n";
    EXPECT_EQ(refusal(Rules + one + one + "%vok:rejections 2\n"),
              "4: rejection predicate rej_P0_R0 is declared twice");
    EXPECT_EQ(refusal(Rules + one + "%vok:rejections 2\n"),
              "4: the file declares 1 rejection predicates, but its closing line says 2");
    EXPECT_EQ(refusal(Rules + "%vok:rejections 0\n" + one),
              "4: a declaration after the closing \"%vok:rejections\" line");
    EXPECT_EQ(refusal(Rules + "%vok:minimal strict\n"),
              "3: unknown declaration \"%vok:minimal strict\"");
    EXPECT_EQ(refusal(Rules + "%vok:rejections two\n"), "3: expected \"%vok:rejections COUNT\"");
    for (const char* bad : {"rej_P0_R0 1", "rej_P0_R0 1 0", "rej_P0_R0  1 1", "_r 0 1",
                            "rej_P0_R0 -1 1", "\"r s\" 0 1", "rej_P0_R0 1 1 x"})
        EXPECT_EQ(refusal(Rules + "%vok:rejection " + bad + "\n%vok:rejections 1\n"),
                  "3: expected \"%vok:rejection NAME ARITY LEVEL\" (LEVEL from 1)")
            << bad;
    // The predicate must head a rule with the declared arity; a strongly
    // negated head is another predicate.
    EXPECT_EQ(refusal(Rules + "%vok:rejection rej_P0_R0 0 1\n%vok:rejections 1\n"),
              "3: rejection predicate rej_P0_R0/0 heads no rule of the program");
    EXPECT_EQ(refusal("-r :- a.\n%vok:rejection r 0 1\n%vok:rejections 1\n"),
              "2: rejection predicate r/0 heads no rule of the program");
}

// The lines vok writes read back as the list they declare.
TEST(RejectionList, ReadsTheLinesVokWrites) {
    const PROGRAM program =
        ReadRox(Rules + RejectionDeclaration("rej_P0_R0", 1, 1) +
                RejectionDeclaration("rej_P1_R2", 0, 2) + RejectionCountDeclaration(2));
    const REJECTION_LIST list = ReadRejectionList(program.declarations);
    EXPECT_TRUE(list.closed);
    ASSERT_EQ(list.predicates.size(), 2u);
    EXPECT_EQ(list.predicates[1].name, "rej_P1_R2");
    EXPECT_EQ(list.predicates[1].level, 2u);
    EXPECT_NO_THROW(CheckRejectionList(list, program));
}
