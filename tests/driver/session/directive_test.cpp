// A session's directive lines, and the sequence file #save writes.
#include "driver/session/directive.hpp"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <sstream>

#include "driver/session/sequence_file.hpp"

namespace {

struct DIRECTIVE_CASE {
    const char* line;
    SESSION_DIRECTIVE::KIND kind;
    const char* argument;  // or, refused, the refusal
};

TEST(SessionDirective, ReadsEachKindAndRefusesWithTheReason) {
    const DIRECTIVE_CASE cases[] = {
        {"#undo.", SESSION_DIRECTIVE::UNDO, ""},
        {"#undo .  % back\r", SESSION_DIRECTIVE::UNDO, ""},
        {"#save \"out.lp\".", SESSION_DIRECTIVE::SAVE, "out.lp"},
        {"#save \"a %b.lp\". % the % is in the name", SESSION_DIRECTIVE::SAVE, "a %b.lp"},
        {"#brave allowed(X, repo).", SESSION_DIRECTIVE::BRAVE, "allowed(X, repo)"},
        {"#cautious  -p(\"a.b\") .", SESSION_DIRECTIVE::CAUTIOUS, "-p(\"a.b\")"},
        {"#undone.", SESSION_DIRECTIVE::REFUSED, "unknown session directive '#undone'"},
        {"#", SESSION_DIRECTIVE::REFUSED, "unknown session directive '#'"},
        {"#undo", SESSION_DIRECTIVE::REFUSED, "#undo must end with a period"},
        {"#undo twice.", SESSION_DIRECTIVE::REFUSED, "#undo takes nothing after it"},
        {"#save out.lp.", SESSION_DIRECTIVE::REFUSED,
         "#save needs a file name in double quotes, as in #save \"FILE\""},
        {"#save \"\".", SESSION_DIRECTIVE::REFUSED,
         "#save needs a file name in double quotes, as in #save \"FILE\""},
        {"#save \"a\"b\".", SESSION_DIRECTIVE::REFUSED,
         "#save needs a file name in double quotes, as in #save \"FILE\""},
        {"#brave .", SESSION_DIRECTIVE::REFUSED, "#brave needs a goal, as in #brave GOAL"},
        {"#const n=3.", SESSION_DIRECTIVE::REFUSED,
         "#const stands inside a block in a session: { #const ... }"},
    };
    for (const DIRECTIVE_CASE& c : cases) {
        const SESSION_DIRECTIVE d = ReadSessionDirective(c.line);
        EXPECT_EQ(d.kind, c.kind) << c.line;
        EXPECT_EQ(d.kind == SESSION_DIRECTIVE::REFUSED ? d.refusal : d.argument, c.argument)
            << c.line;
    }
}

TEST(SequenceFile, KeepsBlocksAndMakesAProgramWithoutBracesOneBlock) {
    std::string text;
    AppendInputText(text, "% blocks\n{ a. }\n{ b. }\n");
    AppendInputText(text, "%* a { in a comment *% c. % last line");
    AppendInputText(text, "");
    EXPECT_EQ(text,
              "% blocks\n{ a. }\n{ b. }\n"
              "{\n%* a { in a comment *% c. % last line\n}\n"
              "{\n}\n");
}

std::string contentOf(const std::string& path) {
    std::ifstream in(path);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

TEST(SequenceFile, ReplacesTheFileWholeOrSaysWhyNot) {
    char folder[] = "/tmp/vok-save-test.XXXXXX";
    ASSERT_NE(::mkdtemp(folder), nullptr);
    const std::string file = std::string(folder) + "/seq.lp";
    EXPECT_EQ(WriteFileWhole(file, "{ a. }\n"), std::nullopt);
    EXPECT_EQ(WriteFileWhole(file, "{ b. }\n"), std::nullopt);
    EXPECT_EQ(contentOf(file), "{ b. }\n");
    EXPECT_EQ(WriteFileWhole(std::string(folder) + "/none/x.lp", "x"),
              std::optional<std::string>("No such file or directory"));
    EXPECT_EQ(WriteFileWhole(std::string(folder) + "/", "x"),
              std::optional<std::string>("Is a directory"));
    // Nothing but the file is left in the folder.
    EXPECT_EQ(std::system(("test \"$(ls -A " + std::string(folder) + ")\" = seq.lp").c_str()), 0);
    std::system(("rm -rf " + std::string(folder)).c_str());
}

}  // namespace
