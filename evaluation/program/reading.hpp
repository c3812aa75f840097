// What the files that read a program share: the reader's state, READER,
// and the pieces of it that more than one of them reads (reader.cpp reads
// terms, atoms and rules; verbatim_literals.cpp the literals that clingo
// gets as they are written; lexer.cpp the tokens).
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "common/name_index.hpp"
#include "evaluation/program/lexer.hpp"
#include "evaluation/program/syntax.hpp"

namespace vok::evaluation::reading {

enum class FORM { ROX, PEXA };

// The distinct predicate names read so far, each kept once in the store
// (NAME_TEXTS): an index whose slots point at the names, with each name's
// hash beside, so that a probe rarely has to compare texts and a hit reads
// one place besides its slot.
struct NAME_SLOT {
    const char* text = nullptr;  // null: a free slot
    std::uint32_t hash = 0;
    std::uint32_t number = 0;
    bool free() const { return !text; }
    std::uint32_t home() const { return hash; }
};

struct NAMES {
    NAME_INDEX<NAME_SLOT> index;
    std::uint32_t count = 0;
};

// A word of the file's text that the look ahead has hashed.
struct HASHED {
    const char* start = nullptr;
    std::size_t length = 0;
    std::uint32_t hash = 0;
};

// A recursive-descent reader of one file form. The lists of the rule being
// read are gathered in scratch vectors and kept in the store when complete.
struct READER {
    LEXER lex;
    FORM form = FORM::ROX;
    PROGRAM program;
    NAMES names;
    std::vector<TERM> terms;
    TERMS lastArguments;  // the arguments kept last
    std::vector<ATOM> atoms;
    std::vector<LITERAL> literals;
    std::size_t ahead = 0;  // where the look ahead for names goes on
    int aheadDepth = 0;     // of parentheses at that place
    // The words the look ahead hashed, in the order of the text: those from
    // taken on are still ahead of the reader (see lookAhead).
    std::array<HASHED, 256> hashed{};
    std::uint64_t pushed = 0;
    std::uint64_t taken = 0;
};

inline const TOKEN& peek(const READER& r) { return r.lex.current; }

// Faults found where the current token stands.
[[noreturn]] void failHere(const READER& r, const std::string& message);

// A term's text, kept in the program's store.
std::string_view keepText(READER& r, std::string_view text);

// The arguments read from first on (in r.terms), kept.
TERMS keepArguments(READER& r, std::size_t first);

// Where the current token begins in the text.
std::size_t tokenStart(const READER& r);

// Whether an aggregate begins at the current token.
bool atAggregate(const READER& r);

// The aggregate at the current token as it stands, guards included.
LITERAL readAggregate(READER& r, bool negated);

// The literal read from start on, at the colon of a conditional literal,
// with its condition, as it stands.
LITERAL readConditional(READER& r, std::size_t start);

}  // namespace vok::evaluation::reading
