// Fuzz target: arbitrary bytes as a session's standard input. The blocks
// found must not depend on how the text arrives (whole, or in pieces of
// the size the first byte gives); each is the text of the input where it
// says, on the line it says, a block beginning with "{"; and the scanner of
// the input language, reading a block found whole, closes the braces it
// opens (the block's, a choice's, an aggregate's) exactly at its last token
// (braces inside comments and strings are skipped alike).
// Stray text that begins with "#" reads as a session directive: a refused
// one says why, #save names a file without quotes, a goal is not empty.
#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "driver/session/directive.hpp"
#include "fuzz_support.hpp"
#include "input/blocks.hpp"

namespace {

// The blocks of text fed in pieces; complete counts those found before the
// end of the input (the rest, if any, was cut short).
std::vector<INPUT_BLOCK> scan(std::string_view text, std::size_t piece, std::size_t& complete) {
    BLOCK_SCANNER scanner;
    std::vector<INPUT_BLOCK> blocks;
    for (std::size_t at = 0; at < text.size(); at += piece)
        ScanBlocks(scanner, text.substr(at, piece), blocks);
    complete = blocks.size();
    FinishBlocks(scanner, blocks);
    return blocks;
}

bool sameBlocks(const std::vector<INPUT_BLOCK>& a, const std::vector<INPUT_BLOCK>& b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (a[i].kind != b[i].kind || a[i].text != b[i].text || a[i].line != b[i].line ||
            a[i].offset != b[i].offset)
            return false;
    return true;
}

// Whether the real scanner, reading text, closes the braces it opens (the
// block's, and those of choices and aggregates inside it) exactly at its
// last token, a "}".
bool closedAtTheEnd(const std::string& text) {
    FILE* in = fuzz::streamOf(reinterpret_cast<const std::uint8_t*>(text.data()), text.size());
    if (!in) return false;
    TestParser().line = 1;
    yyin = in;
    yyrestart(in);
    int depth = 0;
    bool closed = false;  // by the last token read
    bool early = false;   // before it
    for (int code; (code = yylex(TestParser())) != 0;) {
        if (code == TOK_IDENTIFIER || code == TOK_NUMBER)
            TestParser().values.texts.free(yylval.text);
        early = early || closed;
        if (code == TOK_LBRACE || code == TOK_CHOICE_LBRACE) ++depth;
        if (code == TOK_RBRACE) --depth;
        closed = code == TOK_RBRACE && depth == 0;
        early = early || depth < 0;
    }
    std::fclose(in);
    return closed && !early;
}

bool wellRead(std::string_view line) {
    const SESSION_DIRECTIVE d = ReadSessionDirective(line);
    switch (d.kind) {
        case SESSION_DIRECTIVE::REFUSED: return !d.refusal.empty();
        case SESSION_DIRECTIVE::SAVE:
            return !d.argument.empty() && d.argument.find('"') == std::string::npos;
        case SESSION_DIRECTIVE::BRAVE:
        case SESSION_DIRECTIVE::CAUTIOUS: return !d.argument.empty();
        case SESSION_DIRECTIVE::UNDO: return d.argument.empty();
    }
    return false;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return -1;
    const std::size_t piece = 1 + data[0] % 7;
    const std::string_view text(reinterpret_cast<const char*>(data) + 1, size - 1);
    fuzz::freshRun(PROGRAM_TYPE::ROX);
    std::size_t complete = 0, completeInPieces = 0;
    const std::vector<INPUT_BLOCK> whole = scan(text, text.size() + 1, complete);
    if (!sameBlocks(whole, scan(text, piece, completeInPieces))) __builtin_trap();

    std::size_t from = 0;
    for (std::size_t i = 0; i < whole.size(); ++i) {
        const INPUT_BLOCK& b = whole[i];
        // In order, where the input holds it, on its line.
        if (b.text.empty() || b.offset < from || b.offset + b.text.size() > text.size() ||
            text.substr(b.offset, b.text.size()) != b.text)
            __builtin_trap();
        const auto start = text.begin() + static_cast<std::ptrdiff_t>(b.offset);
        if (b.line != 1 + static_cast<unsigned>(std::count(text.begin(), start, '\n')))
            __builtin_trap();
        from = b.offset + b.text.size();
        if (b.kind == INPUT_BLOCK::STRAY && IsDirectiveLine(b.text) && !wellRead(b.text))
            __builtin_trap();
        if (b.kind != INPUT_BLOCK::BLOCK) continue;
        if (b.text[0] != '{') __builtin_trap();
        if (i >= complete) continue;
        if (!closedAtTheEnd(b.text)) __builtin_trap();
    }
    return 0;
}
