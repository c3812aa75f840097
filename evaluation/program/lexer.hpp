// The tokens of the file forms vok writes for its evaluation programs,
// read one ahead of the reader (reader.cpp). The "%vok:" comments the lexer
// skips are kept as declarations.
#pragma once

#include <cstddef>
#include <string_view>
#include <vector>

#include "evaluation/program/syntax.hpp"

namespace vok::evaluation::reading {

enum class TOK {
    END,
    IDENT,
    INTEGER,
    STRING,
    QUOTED_NAME,
    LPAREN,
    RPAREN,
    LBRACE,
    RBRACE,
    COMMA,
    DOT,
    IF,
    MINUS,
    TILDE,
    OP,
    HASH,
    AT,
    COLON,
    SEMICOLON
};

struct TOKEN {
    TOK kind = TOK::END;
    std::string_view text;  // identifier, digits, string content, operator...
    int line = 1;
};

inline bool isLower(char c) { return c >= 'a' && c <= 'z'; }
inline bool isUpper(char c) { return c >= 'A' && c <= 'Z'; }
inline bool isDigit(char c) { return c >= '0' && c <= '9'; }
inline bool isNameChar(char c) { return isLower(c) || isUpper(c) || isDigit(c) || c == '_'; }

// The text being split into tokens, with one token of lookahead: current is
// the token under the cursor, pos where the one after it begins.
struct LEXER {
    std::string_view text;
    std::size_t pos = 0;
    int line = 1;      // the line of pos
    int lastLine = 1;  // the line of the token taken last
    TOKEN current;
    std::vector<DECLARATION> declarations;  // the "%vok:" comments skipped so far
    BLOCKS<char>* texts = nullptr;          // where their texts are kept
};

inline char charAt(const LEXER& lex, std::size_t i) {
    return i < lex.text.size() ? lex.text[i] : '\0';
}

// Where the run of characters that pass test, beginning at i, ends.
std::size_t endOfRun(const LEXER& lex, std::size_t i, bool (*test)(char));

// Reads the token after pos into current.
void advance(LEXER& lex);

// Takes the current token and reads the next one. Inline, as the reader
// takes every token through it.
inline TOKEN next(LEXER& lex) {
    TOKEN t = lex.current;
    lex.lastLine = t.line;
    advance(lex);
    return t;
}

}  // namespace vok::evaluation::reading
