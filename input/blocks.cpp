#include "input/blocks.hpp"

#include <algorithm>

namespace {

// What one step of scanning found.
enum class STEP { MOVED, WAIT, BLOCK_END };

unsigned linesIn(std::string_view text) {
    return static_cast<unsigned>(std::count(text.begin(), text.end(), '\n'));
}

// Moves past pending[pos] up to (not including) to.
void advance(BLOCK_SCANNER& s, std::size_t to) {
    s.line += linesIn(std::string_view(s.pending).substr(s.pos, to - s.pos));
    s.pos = to;
}

// At "%*": a block comment runs to the first "*%" (they do not nest), or
// to the end of the input, where the parser reports it.
STEP skipBlockComment(BLOCK_SCANNER& s, bool final) {
    const std::size_t end = s.pending.find("*%", s.pos + 2);
    if (end == std::string::npos) {
        if (!final) return STEP::WAIT;
        advance(s, s.pending.size());
        return STEP::MOVED;
    }
    advance(s, end + 2);
    return STEP::MOVED;
}

// At a "%": the comment runs to the line end, which stays to be read, or
// with "%*" to its "*%". At the end of what is there it may go on, unless
// the input ended.
STEP skipComment(BLOCK_SCANNER& s, bool final) {
    if (s.pos + 1 == s.pending.size() && !final) return STEP::WAIT;
    if (s.pos + 1 < s.pending.size() && s.pending[s.pos + 1] == '*')
        return skipBlockComment(s, final);
    const std::size_t end = s.pending.find('\n', s.pos);
    if (end == std::string::npos) {
        if (!final) return STEP::WAIT;
        advance(s, s.pending.size());
        return STEP::MOVED;
    }
    advance(s, end);
    return STEP::MOVED;
}

// At a '"': a quoted string runs to the next '"' if no NUL byte comes
// first (the scanner's rule); otherwise the '"' stands alone.
STEP skipString(BLOCK_SCANNER& s, bool final) {
    const std::size_t end = s.pending.find_first_of(std::string_view("\"\0", 2), s.pos + 1);
    if (end == std::string::npos && !final) return STEP::WAIT;
    if (end == std::string::npos || s.pending[end] == '\0') {
        advance(s, s.pos + 1);
        return STEP::MOVED;
    }
    advance(s, end + 1);
    return STEP::MOVED;
}

// Inside a block only comments, strings, the braces of choices and
// aggregates and the closing "}" matter.
STEP scanInBlock(BLOCK_SCANNER& s, bool final) {
    const std::size_t next = s.pending.find_first_of("%\"{}", s.pos);
    if (next == std::string::npos) {
        advance(s, s.pending.size());
        return STEP::MOVED;
    }
    advance(s, next);
    const char c = s.pending[s.pos];
    if (c == '%') return skipComment(s, final);
    if (c == '"') return skipString(s, final);
    advance(s, s.pos + 1);
    if (c == '{') ++s.depth;
    else if (s.depth > 0) --s.depth;
    else return STEP::BLOCK_END;
    return STEP::MOVED;
}

// Outside a block: blanks and comments are skipped, "{" opens a block, and
// anything else is stray text, skipped to the line end or the next "{".
STEP scanOutside(BLOCK_SCANNER& s, bool final, std::vector<INPUT_BLOCK>& out) {
    const char c = s.pending[s.pos];
    if (c == ' ' || c == '\t' || c == '\r' || c == '\n') {
        advance(s, s.pos + 1);
        return STEP::MOVED;
    }
    if (c == '%') return skipComment(s, final);
    if (c == '{') {
        // What lies before the block is read: it leaves pending.
        s.pending.erase(0, s.pos);
        s.erased += s.pos;
        s.pos = 0;
        s.inBlock = true;
        s.blockLine = s.line;
        advance(s, 1);
        return STEP::MOVED;
    }
    const std::size_t end = s.pending.find_first_of("\n{", s.pos);
    if (end == std::string::npos && !final) return STEP::WAIT;  // reported whole, once
    INPUT_BLOCK stray;
    stray.kind = INPUT_BLOCK::STRAY;
    stray.line = s.line;
    stray.offset = s.erased + s.pos;
    stray.text =
        s.pending.substr(s.pos, end == std::string::npos ? std::string::npos : end - s.pos);
    out.push_back(std::move(stray));
    advance(s, end == std::string::npos ? s.pending.size() : end);
    return STEP::MOVED;
}

void emitBlock(BLOCK_SCANNER& s, std::vector<INPUT_BLOCK>& out) {
    INPUT_BLOCK block;
    block.kind = INPUT_BLOCK::BLOCK;
    block.line = s.blockLine;
    block.offset = s.erased;
    block.text = s.pending.substr(0, s.pos);
    out.push_back(std::move(block));
    s.pending.erase(0, s.pos);
    s.erased += s.pos;
    s.pos = 0;
    s.inBlock = false;
}

void scan(BLOCK_SCANNER& s, bool final, std::vector<INPUT_BLOCK>& out) {
    while (s.pos < s.pending.size()) {
        const STEP step = s.inBlock ? scanInBlock(s, final) : scanOutside(s, final, out);
        if (step == STEP::WAIT) break;
        if (step == STEP::BLOCK_END) emitBlock(s, out);
    }
    // Between blocks, what was read is kept no longer.
    if (!s.inBlock) {
        s.pending.erase(0, s.pos);
        s.erased += s.pos;
        s.pos = 0;
    }
}

}  // namespace

void ScanBlocks(BLOCK_SCANNER& scanner, std::string_view piece, std::vector<INPUT_BLOCK>& out) {
    scanner.pending.append(piece);
    scan(scanner, false, out);
}

void FinishBlocks(BLOCK_SCANNER& scanner, std::vector<INPUT_BLOCK>& out) {
    scan(scanner, true, out);
    if (!scanner.inBlock) return;
    INPUT_BLOCK block;
    block.kind = INPUT_BLOCK::BLOCK;
    block.line = scanner.blockLine;
    block.offset = scanner.erased;
    block.text = std::move(scanner.pending);
    block.closed = false;
    scanner.erased += block.text.size();
    out.push_back(std::move(block));
    scanner.pending.clear();
    scanner.pos = 0;
    scanner.inBlock = false;
    scanner.depth = 0;
}
