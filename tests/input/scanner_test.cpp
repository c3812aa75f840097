// The scanner on its own: token codes, longest match and keyword priority,
// lexical errors and their messages, line counting, odd bytes.
#include "input/actions.hpp"
#include "input/grammar.hpp"
#include "input_fixture.hpp"

namespace {

// Every token of text up to the end of the stream; names and numbers are
// followed by their text.
Texts scan(const std::string& text) {
    FILE* f = streamOf(text);
    yyrestart(f);
    Texts tokens;
    while (int code = yylex(TestParser())) {
        tokens.push_back(std::to_string(code));
        if (code == 258 || code == 259) {
            tokens.back() += " " + TestParser().values.texts.take(yylval.text);
        }
    }
    std::fclose(f);
    return tokens;
}

using Scanner = InputTest;

TEST_F(Scanner, TokenCodesAndLongestMatch) {
    EXPECT_EQ(scan("abc 42 , . : ; ! + * = | v ( ) [ ] { } == < > <= >= #int #succ _"),
              (Texts{"258 abc", "259 42", "262", "263", "264", "265", "266", "267", "268",
                     "269",     "270",    "271", "274", "275", "276", "277", "278", "279",
                     "280",     "282",    "283", "284", "285", "286", "287", "273"}));
    EXPECT_EQ(scan(":- <- != <> not non - ~"),
              (Texts{"272", "272", "281", "281", "288", "288", "289", "289"}));
    // Keywords win over names of the same length only.
    EXPECT_EQ(scan("notx nonempty vx V no"),
              (Texts{"258 notx", "258 nonempty", "258 vx", "258 V", "258 no"}));
    EXPECT_EQ(scan(":-: <=<->=> === !!= <<>"), (Texts{"272", "264", "284", "272", "285", "283",
                                                      "280", "269", "266", "281", "282", "281"}));
    EXPECT_EQ(scan("p_1(X2,\"a b\"). 1abc _1 __ 123456789"),
              (Texts{"258 p_1", "274", "258 X2", "262", "258 \"a b\"", "275", "263", "259 1",
                     "258 abc", "273", "259 1", "273", "273", "259 123456789"}));
    EXPECT_EQ(scan(""), Texts{});
    EXPECT_EQ(TestParser().errors, 0);
}

TEST_F(Scanner, LineEndsCommentsAndQuotedStrings) {
    EXPECT_EQ(scan("p. % q.\n\t r\r\n\"a\nb\" % end"),
              (Texts{"258 p", "263", "258 r", "258 \"a\nb\""}));
    // Line ends inside the string count too.
    EXPECT_EQ(TestParser().line, 4u);
}

TEST_F(Scanner, BlockCommentsEndAtTheFirstCloseAndCountLines) {
    EXPECT_EQ(scan("a %* b. }\n c ** % *%d %**% e %*%*% f\n%*\n*% g"),
              (Texts{"258 a", "258 d", "258 e", "258 f", "258 g"}));
    EXPECT_EQ(TestParser().line, 4u);
    // "%*" inside a line comment opens nothing.
    EXPECT_EQ(scan("% %* \np"), (Texts{"258 p"}));
    EXPECT_EQ(TestParser().errors, 0);

    // Unclosed: an error named at the line where it begins.
    TestParser().line = 2;
    const std::string err = stderrOf([] {
        EXPECT_EQ(scan("p. %* q.\n r. *\n"), (Texts{"258 p", "263", "260"}));
    });
    EXPECT_EQ(err, "line 2: block comment \"%*\" not closed by \"*%\".\n");
    EXPECT_EQ(TestParser().line, 2u);
    EXPECT_EQ(TestParser().errors, 1);
}

TEST_F(Scanner, LexicalErrorsAreReportedCountedAndSkipped) {
    struct Case {
        std::string input;
        Texts tokens;
        std::string message;  // without "line 1: " and "."
    };
    const Case cases[] = {
        {"1234567890", {"260"}, "numeric constant 1234567890 is too long"},
        {"0000000001", {"260"}, "numeric constant 0000000001 is too long"},
        {"_x,y .", {"260", "263"}, "identifier starts with an underscore"},
        {"#in", {"260", "258 in"}, "syntax error (#)"},
        {"q$", {"258 q", "260"}, "syntax error ($)"},
        {"p \"abc", {"258 p", "260", "258 abc"}, "syntax error (\")"},
        {"a\rb", {"258 a", "260", "258 b"}, "syntax error (\\x0d)"},
        {std::string("p\0q", 3), {"258 p", "260", "258 q"}, "syntax error (\\0)"},
        {"\xc3", {"260"}, "syntax error (\\xc3)"},
        {"\x1b", {"260"}, "syntax error (\\x1b)"},
    };
    for (const Case& c : cases) {
        TestParser().line = 1;
        std::string err = stderrOf([&] { EXPECT_EQ(scan(c.input), c.tokens) << c.input; });
        EXPECT_EQ(err, "line 1: " + c.message + ".\n");
    }
    EXPECT_EQ(TestParser().errors, 10);

    // A NUL byte cannot join a quoted string, which must stay a C string.
    stderrOf([] {
        EXPECT_EQ(scan(std::string("\"a\0b\"", 5)), (Texts{"260", "258 a", "260", "258 b", "260"}));
    });
}

// A brace opens a choice (320) when its set, which holds no brace and no
// lone ".", is followed by what ends a choice head; otherwise it is a
// block's (278), and the look ahead stops at the block's first statement
// (so that a stray statement after a block is the error, not the block).
TEST_F(Scanner, ChoiceBracesAndBlockBraces) {
    struct Case {
        std::string text;
        std::string first;
    } cases[] = {
        {"{ p(1..3) }.", "320"},  {"{ p(\"a.b\") } :- q.", "320"}, {"{ a % b.\n } 2.", "320"},
        {"{ a. }", "278"},        {"{ a. }\nb.", "278"},           {"{ a. } 2.", "278"},
        {"{ a }\n{ b. }", "278"}, {"{ p(1..3). }", "278"},
    };
    for (const Case& c : cases) {
        const Texts tokens = scan(c.text);
        ASSERT_FALSE(tokens.empty()) << c.text;
        EXPECT_EQ(tokens.front(), c.first) << c.text;
    }
}

TEST_F(Scanner, TokensLongerThanTheBuffer) {
    std::string name = "p" + std::string(100000, 'x');
    std::string blanks(40000, ' ');
    EXPECT_EQ(scan(blanks + name + blanks + "."), (Texts{"258 " + name, "263"}));
}

TEST_F(Scanner, EndOfStreamIsFinalUntilRestart) {
    FILE* first = streamOf("a b");
    yyrestart(first);
    EXPECT_EQ(yylex(TestParser()), 258);
    TestParser().values.texts.free(yylval.text);
    // Restarting drops what was buffered of the first stream.
    FILE* second = streamOf("}");
    yyrestart(second);
    EXPECT_EQ(yylex(TestParser()), 279);
    EXPECT_EQ(yylex(TestParser()), 0);
    EXPECT_EQ(yylex(TestParser()), 0);
    std::fclose(first);
    std::fclose(second);
}

}  // namespace
