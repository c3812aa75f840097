// A session's standard input: the blocks found in it however the text
// arrives, and a block taken whole or not at all.
#include <string>
#include <vector>

#include "input/blocks.hpp"
#include "input/origins.hpp"
#include "input/take_block.hpp"
#include "input_fixture.hpp"

namespace {

struct FOUND {
    char kind;  // 'B' block, 'S' stray text
    std::string text;
    unsigned line;
    bool operator==(const FOUND&) const = default;
};

void PrintTo(const FOUND& f, std::ostream* out) {
    *out << f.kind << ":" << f.line << ":\"" << f.text << "\"";
}

std::vector<FOUND> found(const std::vector<INPUT_BLOCK>& blocks) {
    std::vector<FOUND> f;
    for (const INPUT_BLOCK& b : blocks)
        f.push_back({b.kind == INPUT_BLOCK::BLOCK ? 'B' : 'S', b.text, b.line});
    return f;
}

// The text in pieces of the given size, then its end.
std::vector<FOUND> scanInPieces(const std::string& text, std::size_t piece) {
    BLOCK_SCANNER scanner;
    std::vector<INPUT_BLOCK> blocks;
    for (std::size_t at = 0; at < text.size(); at += piece)
        ScanBlocks(scanner, std::string_view(text).substr(at, piece), blocks);
    FinishBlocks(scanner, blocks);
    return found(blocks);
}

TEST(Blocks, FoundAlikeWhateverThePieces) {
    struct Case {
        std::string input;
        std::vector<FOUND> blocks;
    };
    const std::string nulString = std::string("{ p(\"a") + '\0' + "b\"). }";
    const Case cases[] = {
        {"{ a. }", {{'B', "{ a. }", 1}}},
        {"{a.} {b.}\n{ c.\n  d. }\n",
         {{'B', "{a.}", 1}, {'B', "{b.}", 1}, {'B', "{ c.\n  d. }", 2}}},
        // The braces of a choice or an aggregate inside a block end nothing.
        {"{ { a; b } 1. c :- #count{ 1 : a } > 0. }\n{ d. }",
         {{'B', "{ { a; b } 1. c :- #count{ 1 : a } > 0. }", 1}, {'B', "{ d. }", 2}}},
        // Braces in comments and strings end nothing; a string may span lines.
        {"% } {\n{ p(\"}\"). % }\n q(\"a\nb}\"). }",
         {{'B', "{ p(\"}\"). % }\n q(\"a\nb}\"). }", 2}}},
        // A block comment hides braces up to its first "*%", across lines;
        // "%*%" opens one and closes nothing.
        {"%* { *% {a.} %*}\n*%\n{ b. %* } *% %*%} *%}",
         {{'B', "{a.}", 1}, {'B', "{ b. %* } *% %*%} *%}", 3}}},
        {"{ a. %* }", {{'B', "{ a. %* }", 1}}},
        // A NUL byte ends no string: the quote stands alone, and the brace
        // after it closes the block.
        {nulString, {{'B', nulString, 1}}},
        // Stray text: once for its line, up to the line end or a block.
        {"p.\n{ a. } q. r.\nx {b.}",
         {{'S', "p.", 1}, {'B', "{ a. }", 2}, {'S', "q. r.", 2}, {'S', "x ", 3}, {'B', "{b.}", 3}}},
        // What is left of a block at the end of the input, however short.
        {"{ a.\n b", {{'B', "{ a.\n b", 1}}},
        {"{ a. \"x }", {{'B', "{ a. \"x }", 1}}},
        {"\n\n   \r\n% nothing\n", {}},
    };
    for (const Case& c : cases)
        for (std::size_t piece :
             {std::size_t{1}, std::size_t{2}, std::size_t{3}, std::size_t{1000}})
            EXPECT_EQ(scanInPieces(c.input, piece), c.blocks)
                << c.input << " in pieces of " << piece;
}

// Only what is left of a block at the end of the input lacks its "}": a
// quote that never closes does not keep a later brace from closing.
TEST(Blocks, UnclosedOnlyAtTheEnd) {
    for (const auto& [input, closed] : {std::pair<std::string, bool>{"{ a. }", true},
                                        {"{ a. \"x }", true},
                                        {"{ a.\n b", false},
                                        {"{ a. } { b(x) %}", false}}) {
        BLOCK_SCANNER scanner;
        std::vector<INPUT_BLOCK> blocks;
        ScanBlocks(scanner, input, blocks);
        FinishBlocks(scanner, blocks);
        ASSERT_FALSE(blocks.empty()) << input;
        EXPECT_EQ(blocks.back().closed, closed) << input;
    }
}

TEST(Blocks, OpenBlockAndWaitingString) {
    BLOCK_SCANNER scanner;
    std::vector<INPUT_BLOCK> blocks;
    ScanBlocks(scanner, "{ a(\"", blocks);
    EXPECT_TRUE(blocks.empty());
    EXPECT_TRUE(InsideBlock(scanner));
    // The string goes on past the brace until its own quote.
    ScanBlocks(scanner, "}\"). }\n", blocks);
    ASSERT_EQ(blocks.size(), 1u);
    EXPECT_EQ(blocks[0].text, "{ a(\"}\"). }");
    EXPECT_FALSE(InsideBlock(scanner));
}

TEST(Blocks, OffsetsCountTheWholeInput) {
    BLOCK_SCANNER scanner;
    std::vector<INPUT_BLOCK> blocks;
    for (std::string_view piece : {"% {\n{ a", ". }x\n", "  {b.}"})
        ScanBlocks(scanner, piece, blocks);
    FinishBlocks(scanner, blocks);
    ASSERT_EQ(blocks.size(), 3u);
    EXPECT_EQ(blocks[0].offset, 4u);   // "{ a. }"
    EXPECT_EQ(blocks[1].offset, 10u);  // "x"
    EXPECT_EQ(blocks[2].offset, 14u);  // "{b.}"
}

class TakeBlockTest : public InputTest {
protected:
    // The sizes a dropped block must leave as they were.
    struct SIZES {
        std::size_t programs, constraints, predicates, constants;
        bool operator==(const SIZES&) const = default;
    };
    static SIZES sizes() {
        return {TestSequence().programs.size(), TestSequence().constraints.size(),
                ATOM::Predicates.size(), IDENT::Constants.size()};
    }
};

TEST_F(TakeBlockTest, ABlockWithAnErrorLeavesNothing) {
    ASSERT_TRUE(TakeBlock(TestParser(), "{ p(a). q :- p(a). :- q, r. }", 1, TestDirectives()));
    const SIZES before = sizes();
    const char* faulty[] = {
        "{ s(b). t(X). }",             // unsafe
        "{ s(b). u :- . v( }",         // syntax
        "{ s(b). p(a,b). }",           // arity against an earlier block
        "{ s(b). w(a). w(a,b). }",     // arity within the block
        "{ s(b). -p(a,b) :- s(b). }",  // complement with another arity
    };
    for (const char* text : faulty) {
        const std::string diagnostics = stderrOf(
            [&] { EXPECT_FALSE(TakeBlock(TestParser(), text, 7, TestDirectives())) << text; });
        EXPECT_EQ(sizes(), before) << text;
        EXPECT_NE(diagnostics.find("<stdin>: line 7: "), std::string::npos) << diagnostics;
    }
    // The names of the dropped blocks are gone: w and t take any arity now.
    ASSERT_TRUE(TakeBlock(TestParser(), "{ w(a,b,c). t. }", 9, TestDirectives()));
    EXPECT_EQ(rulesOf(1), (Texts{"w(a,b,c).", "t."}));
    EXPECT_EQ(TestSequence().programs.size(), 2u);
}

TEST_F(TakeBlockTest, UndoLastBlockForgetsItWhole) {
    UseParseSettings(PARSE_SETTINGS{.explain = true});
    ASSERT_TRUE(TakeBlock(TestParser(), "{ a. }", 1, TestDirectives()));
    const SIZES before = sizes();
    ASSERT_TRUE(TakeBlock(TestParser(), "{ b(c). :- a, b(c). }", 2, TestDirectives()));
    EXPECT_EQ(TestSequence().origins.rules.size(), 2u);
    UndoLastBlock(TestParser());
    EXPECT_EQ(sizes(), before);
    EXPECT_EQ(TestSequence().origins.rules.size(), 1u);
    // b is unknown again, so it takes another arity.
    EXPECT_TRUE(TakeBlock(TestParser(), "{ b. }", 3, TestDirectives()));
}

TEST_F(TakeBlockTest, BlocksAreGivenBackNewestFirstWithTheHeadsKnownBefore) {
    ASSERT_TRUE(TakeBlock(TestParser(), "{ a. }", 1, TestDirectives()));
    const SIZES one = sizes();
    ASSERT_TRUE(TakeBlock(TestParser(), "{ p(c) :- a. }", 2, TestDirectives()));
    const SIZES two = sizes();
    ASSERT_TRUE(TakeBlock(TestParser(), "{ q. }", 3, TestDirectives()));
    UndoLastBlock(TestParser());
    EXPECT_EQ(sizes(), two);
    // p still heads a rule: its complement with another arity is refused.
    stderrOf([] { EXPECT_FALSE(TakeBlock(TestParser(), "{ -p :- a. }", 4, TestDirectives())); });
    EXPECT_EQ(sizes(), two);
    UndoLastBlock(TestParser());
    EXPECT_EQ(sizes(), one);
    // p and its heads are forgotten with the block that brought them.
    EXPECT_TRUE(TakeBlock(TestParser(), "{ -p :- a. }", 5, TestDirectives()));
    UndoLastBlock(TestParser());
    UndoLastBlock(TestParser());
    EXPECT_EQ(TestSequence().programs.size(), 0u);
    UndoLastBlock(TestParser());  // nothing left: nothing happens
    EXPECT_EQ(TestSequence().programs.size(), 0u);
}

TEST_F(TakeBlockTest, DiagnosticsAreNotedInPartsWhileAsked) {
    std::vector<DIAGNOSTIC> notes;
    TestParser().notes = &notes;
    stderrOf([] { EXPECT_FALSE(TakeBlock(TestParser(), "{ s(b). t(X). }", 7, TestDirectives())); });
    TestParser().notes = nullptr;
    stderrOf([] { EXPECT_FALSE(TakeBlock(TestParser(), "{ u( }", 9, TestDirectives())); });
    // The unsafe rule's line and the line naming its variable.
    ASSERT_EQ(notes.size(), 2u);
    EXPECT_EQ(notes[1].line, 7u);
    EXPECT_EQ(notes[0].input, "<stdin>");
    EXPECT_EQ(notes[0].line, 7u);
    EXPECT_EQ(notes[0].message.back(), '.');
    EXPECT_EQ(notes[0].message.find("line"), std::string::npos) << notes[0].message;
}

TEST_F(TakeBlockTest, PexaTakesPropositionalBlocksOnly) {
    resetParser(PROGRAM_TYPE::PEXA);
    const std::string diagnostics =
        stderrOf([] { EXPECT_FALSE(TakeBlock(TestParser(), "{ p(a). }", 4, TestDirectives())); });
    EXPECT_EQ(diagnostics, "<stdin>: line 4: PEXA cannot process first order programs.\n");
    EXPECT_TRUE(TestSequence().propositional);
    EXPECT_TRUE(TakeBlock(TestParser(), "{ p. }", 5, TestDirectives()));
}

}  // namespace
