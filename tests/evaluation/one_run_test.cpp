#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "answer_sets.hpp"
#include "front_end.hpp"
#include "one_run.hpp"
#include "reader.hpp"
#include "solver.hpp"

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

TEST(RejectionList, BecomesScriptDataInClingosNames) {
    REJECTION_LIST list;
    list.closed = true;
    list.predicates = {{"rej_P0_R0", 1, 1, 1}, {"Rej", 0, 3, 2}};
    const std::string script = OneRunScript(list, true, 5);
    EXPECT_TRUE(script.starts_with(
        "#script (lua)\nlocal rejections = [==[\nrej_P0_R0 1 1\nu'Rej 0 3\n]==]\n"
        "local strict = true\nlocal limit = 5\n"));
    EXPECT_TRUE(script.ends_with("end\n#end.\n"));
    EXPECT_NE(script.find(std::string(OneRunClosingLine)), std::string::npos);
    EXPECT_NE(OneRunScript(list, false, 0).find("local strict = false\nlocal limit = 0\n"),
              std::string::npos);
}

TEST(OneRunOptions, SelectTheModeOnceAndTheHeuristicLast) {
    EXPECT_EQ(ParseOptions({"--minimal=min", "f"}).minimal, MINIMALITY::MIN);
    EXPECT_EQ(ParseOptions({"--minimal=strict", "f"}).minimal, MINIMALITY::STRICT);
    EXPECT_EQ(ParseOptions({"f"}).minimal, MINIMALITY::NONE);
    for (auto args : {std::vector<std::string>{"--minimal=min", "--minimal=strict", "f"},
                      std::vector<std::string>{"--minimal=", "f"},
                      std::vector<std::string>{"--minimal=Min", "f"}})
        EXPECT_THROW(ParseOptions(args), USAGE_ERROR);

    SOLVER_CALL call;
    call.options = {"-t2"};
    call.maxModels = 3;  // counted by the script, not by clingo
    call.oneRun = true;
    EXPECT_EQ(clingoArguments(call),
              (std::vector<std::string>{"--warn=none", "-t2", "--models=0", "--heuristic=Domain",
                                        "--outf=3", "--verbose=0", "-"}));
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
}
