// The update programs of a session's standard input: brace-enclosed blocks
// found as the text comes, piece by piece, before the parser reads any of
// them (a block may span lines; comments and quoted strings are skipped as
// the scanner skips them, so that a brace inside them ends nothing).
//
// Between blocks only blanks, line ends and comments may stand. Any other
// text there is stray: it is reported once for its line and skipped up to
// the line's end or the next "{", so that a line typed without its braces
// costs that line only.
#pragma once

#include <string>
#include <string_view>
#include <vector>

struct INPUT_BLOCK {
    enum KIND { BLOCK, STRAY };
    KIND kind = BLOCK;
    std::string text;        // a block: from its "{" to its "}" (at the end of the
                             // input, an unfinished block: what there is of it)
    unsigned line = 0;       // where the block or the stray text begins
    std::size_t offset = 0;  // of its first byte in the whole input
    bool closed = true;      // false: the input ended before the block's "}"
};

// Where scanning stands: the text not yet handed out, and the position and
// line in it up to which it is understood.
struct BLOCK_SCANNER {
    std::string pending;
    std::size_t erased = 0;  // bytes of the input before pending
    std::size_t pos = 0;     // in pending
    unsigned line = 1;       // of pending[pos]
    bool inBlock = false;    // pending begins with the "{" of an open block
    unsigned blockLine = 0;
    unsigned depth = 0;  // of the braces open inside the block (a choice's, an aggregate's)
};

// Takes the next piece of input and appends the blocks and stray texts it
// completes to out.
void ScanBlocks(BLOCK_SCANNER& scanner, std::string_view piece, std::vector<INPUT_BLOCK>& out);

// The end of the input: appends what it completes, an unfinished block
// included.
void FinishBlocks(BLOCK_SCANNER& scanner, std::vector<INPUT_BLOCK>& out);

// Whether a block is open (for a prompt that says so).
inline bool InsideBlock(const BLOCK_SCANNER& scanner) { return scanner.inBlock; }
