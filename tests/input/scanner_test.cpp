// The scanner on its own: token codes, longest match and keyword priority,
// lexical errors and their messages, line counting, odd bytes.
#include <cstdlib>

#include "input/grammar.hpp"
#include "input_fixture.hpp"

namespace {

struct Token {
    int code;
    std::string text;  // for names and numbers
    bool operator==(const Token&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Token& t) {
    return out << t.code << (t.text.empty() ? "" : " " + t.text);
}

// Every token of text up to the end of the stream.
std::vector<Token> scan(const std::string& text) {
    FILE* f = streamOf(text);
    yyrestart(f);
    std::vector<Token> tokens;
    while (int code = yylex()) {
        Token t{code, ""};
        if (code == 258 || code == 259) {
            t.text = yylval.text;
            delete[] yylval.text;
        }
        tokens.push_back(t);
    }
    std::fclose(f);
    return tokens;
}

std::vector<int> codes(const std::string& text) {
    std::vector<int> result;
    for (const Token& t : scan(text)) result.push_back(t.code);
    return result;
}

using Scanner = InputTest;

TEST_F(Scanner, EveryTokenHasItsFixedCode) {
    EXPECT_EQ(codes("abc 42 , . : ; ! + * = | v ( ) [ ] { } == < > <= >= #int #succ _"),
              (std::vector<int>{258, 259, 262, 263, 264, 265, 266, 267, 268, 269, 270, 271, 274,
                                275, 276, 277, 278, 279, 280, 282, 283, 284, 285, 286, 287, 273}));
    // Tokens with two spellings.
    EXPECT_EQ(codes(":- <- != <> not non - ~"),
              (std::vector<int>{272, 272, 281, 281, 288, 288, 289, 289}));
    EXPECT_EQ(parser_errors, 0);
}

TEST_F(Scanner, LongestMatchAndKeywordsBeforeNames) {
    EXPECT_EQ(scan("not non v notx nonempty vx V no"),
              (std::vector<Token>{{288, ""}, {288, ""}, {271, ""}, {258, "notx"},
                                  {258, "nonempty"}, {258, "vx"}, {258, "V"}, {258, "no"}}));
    // Two-character operators win over their prefixes; without the second
    // character the prefix stands alone.
    EXPECT_EQ(codes(":-: <=<->=>"), (std::vector<int>{272, 264, 284, 272, 285, 283}));
    EXPECT_EQ(codes("=== !!= <<>"), (std::vector<int>{280, 269, 266, 281, 282, 281}));
    // Names are letters, digits and underscores after a letter; no blanks needed.
    EXPECT_EQ(scan("p_1(X2,a)."),
              (std::vector<Token>{{258, "p_1"}, {274, ""}, {258, "X2"}, {262, ""}, {258, "a"},
                                  {275, ""}, {263, ""}}));
    EXPECT_EQ(scan("1abc"), (std::vector<Token>{{259, "1"}, {258, "abc"}}));
}

TEST_F(Scanner, NumbersOfUpToNineDigits) {
    EXPECT_EQ(scan("123456789 0"), (std::vector<Token>{{259, "123456789"}, {259, "0"}}));
    std::string err = stderrOf([] {
        EXPECT_EQ(codes("1234567890 0000000001"), (std::vector<int>{260, 260}));
    });
    EXPECT_EQ(err,
              "line 1: numeric constant 1234567890 is too long.\n"
              "line 1: numeric constant 0000000001 is too long.\n");
    EXPECT_EQ(parser_errors, 2);
}

TEST_F(Scanner, UnderscoreAloneIsAnonymousAndBeforeALetterAnError) {
    EXPECT_EQ(scan("_ _1 __"),
              (std::vector<Token>{{273, ""}, {273, ""}, {259, "1"}, {273, ""}, {273, ""}}));
    std::string err = stderrOf([] {
        // The erroneous name swallows commas, so "_x,y" is one token.
        EXPECT_EQ(scan("_x,y _a1_b ."), (std::vector<Token>{{260, ""}, {260, ""}, {263, ""}}));
    });
    EXPECT_EQ(err,
              "line 1: identifier starts with an underscore.\n"
              "line 1: identifier starts with an underscore.\n");
    EXPECT_EQ(parser_errors, 2);
}

TEST_F(Scanner, CommentsAndBlanksAreSkipped) {
    EXPECT_EQ(scan("p. % q.\n\t r"), (std::vector<Token>{{258, "p"}, {263, ""}, {258, "r"}}));
    EXPECT_EQ(parser_line, 2u);
    // A comment at the very end, without a line end.
    EXPECT_EQ(scan("p % comment"), (std::vector<Token>{{258, "p"}}));
    EXPECT_EQ(codes(""), std::vector<int>{});
    EXPECT_EQ(parser_errors, 0);
}

TEST_F(Scanner, LineEndsWithOrWithoutCarriageReturn) {
    parser_line = 1;
    EXPECT_EQ(codes("a\nb\r\nc % x\r\n\n"), (std::vector<int>{258, 258, 258}));
    EXPECT_EQ(parser_line, 5u);

    parser_line = 1;
    std::string err = stderrOf([] {
        EXPECT_EQ(codes("a\rb"), (std::vector<int>{258, 260, 258}));
    });
    EXPECT_EQ(err, "line 1: syntax error (\\x0d).\n");
    EXPECT_EQ(parser_errors, 1);
}

TEST_F(Scanner, QuotedStrings) {
    parser_line = 1;
    // Quotes are part of the text; the string may span lines, and those
    // lines are counted.
    EXPECT_EQ(scan("\"a b,\n%c\" d"), (std::vector<Token>{{258, "\"a b,\n%c\""}, {258, "d"}}));
    EXPECT_EQ(parser_line, 2u);
    EXPECT_EQ(scan("\"\""), (std::vector<Token>{{258, "\"\""}}));

    // Without a closing quote only the quote itself is an error.
    parser_line = 1;
    std::string err = stderrOf([] {
        EXPECT_EQ(scan("p \"abc"), (std::vector<Token>{{258, "p"}, {260, ""}, {258, "abc"}}));
    });
    EXPECT_EQ(err, "line 1: syntax error (\").\n");
}

TEST_F(Scanner, CharactersThatBeginNoToken) {
    std::string err = stderrOf([] {
        EXPECT_EQ(scan("#in $&?"),
                  (std::vector<Token>{{260, ""}, {258, "in"}, {260, ""}, {260, ""}, {260, ""}}));
    });
    EXPECT_EQ(err,
              "line 1: syntax error (#).\n"
              "line 1: syntax error ($).\n"
              "line 1: syntax error (&).\n"
              "line 1: syntax error (?).\n");
    EXPECT_EQ(parser_errors, 4);
}

TEST_F(Scanner, NulAndNonAsciiBytesAreReportedOneByOne) {
    // A NUL byte neither ends the input nor joins a quoted string.
    std::string err = stderrOf([] {
        EXPECT_EQ(scan(std::string("p\0q", 3)),
                  (std::vector<Token>{{258, "p"}, {260, ""}, {258, "q"}}));
        EXPECT_EQ(codes(std::string("\"a\0b\"", 5)),
                  (std::vector<int>{260, 258, 260, 258, 260}));
        EXPECT_EQ(codes("\xc3\xa4\x1b"), (std::vector<int>{260, 260, 260}));
    });
    EXPECT_EQ(err,
              "line 1: syntax error (\\0).\n"
              "line 1: syntax error (\").\n"
              "line 1: syntax error (\\0).\n"
              "line 1: syntax error (\").\n"
              "line 1: syntax error (\\xc3).\n"
              "line 1: syntax error (\\xa4).\n"
              "line 1: syntax error (\\x1b).\n");
    EXPECT_EQ(parser_errors, 7);
}

TEST_F(Scanner, TokensLongerThanTheBuffer) {
    std::string name = "p" + std::string(100000, 'x');
    std::string spaced(40000, ' ');
    EXPECT_EQ(scan(spaced + name + spaced + "."),
              (std::vector<Token>{{258, name}, {263, ""}}));
    std::string quoted = "\"" + std::string(50000, '\n') + "\"";
    parser_line = 1;
    EXPECT_EQ(scan(quoted), (std::vector<Token>{{258, quoted}}));
    EXPECT_EQ(parser_line, 50001u);
}

TEST_F(Scanner, EndOfStreamIsFinalUntilRestart) {
    FILE* first = streamOf("a b");
    yyrestart(first);
    EXPECT_EQ(yylex(), 258);
    delete[] yylval.text;
    // Restarting drops what was buffered of the first stream.
    FILE* second = streamOf("}");
    yyrestart(second);
    EXPECT_EQ(yylex(), 279);
    EXPECT_EQ(yylex(), 0);
    EXPECT_EQ(yylex(), 0);
    std::fclose(first);
    std::fclose(second);
}

TEST(ScannerDeathTest, ReadErrorIsFatal) {
    // A directory opens for reading but cannot be read.
    EXPECT_EXIT(
        {
            FILE* dir = std::fopen("/", "r");
            if (!dir) std::exit(0);
            yyrestart(dir);
            yylex();
        },
        ::testing::ExitedWithCode(2), "^input in flex scanner failed\n$");
}

}  // namespace
