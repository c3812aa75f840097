// The lexer of the file forms: blanks and comments skipped (the "%vok:"
// ones kept), words, strings, integers, operators and punctuation.
#include "evaluation/program/lexer.hpp"

#include <cstdio>
#include <string>

#include "common/contract.hpp"
#include "evaluation/program/reader.hpp"

namespace vok::evaluation::reading {

namespace {

std::string describeChar(char c) {
    unsigned char u = static_cast<unsigned char>(c);
    if (u >= 0x21 && u < 0x7f) return std::string("character \"") + c + "\"";
    char buf[16];
    std::snprintf(buf, sizeof buf, "byte 0x%02X", u);
    return buf;
}

// A comment that begins with "%vok:" is kept as a declaration. Only comments
// the lexer skips count, so text inside a quoted string never does.
void noteDeclaration(LEXER& lex, std::size_t start, std::size_t end) {
    std::string_view comment = lex.text.substr(start, end - start);
    if (!comment.starts_with(DeclarationMark)) return;
    comment.remove_prefix(DeclarationMark.size());
    if (comment.ends_with('\r')) comment.remove_suffix(1);
    const std::span<const char> kept = keep(*lex.texts, std::span(comment));
    lex.declarations.push_back({lex.line, {kept.data(), kept.size()}});
}

void skipBlanksAndComments(LEXER& lex) {
    while (lex.pos < lex.text.size()) {
        char c = lex.text[lex.pos];
        if (c == '\n') {
            ++lex.line;
            ++lex.pos;
        } else if (c == ' ' || c == '\t' || c == '\r' || c == '\f' || c == '\v') {
            ++lex.pos;
        } else if (c == '%') {
            const std::size_t start = lex.pos;
            while (lex.pos < lex.text.size() && lex.text[lex.pos] != '\n') ++lex.pos;
            noteDeclaration(lex, start, lex.pos);
        } else {
            break;
        }
    }
}

// Makes text[start, end) the current token.
void take(LEXER& lex, TOK kind, std::size_t start, std::size_t end) {
    lex.current.kind = kind;
    lex.current.text = lex.text.substr(start, end - start);
    lex.pos = end;
}

// Where the string whose opening quote is at open ends, after its closing
// quote. A string runs to the next quote, line ends included (vok's input
// allows them); its lines still count for later messages.
std::size_t endOfString(LEXER& lex, std::size_t open) {
    std::size_t end = open + 1;
    int lines = 0;
    while (end < lex.text.size() && lex.text[end] != '"' && lex.text[end] != '\0') {
        if (lex.text[end] == '\n') ++lines;
        ++end;
    }
    if (end < lex.text.size() && lex.text[end] == '\0')
        throw SYNTAX_ERROR(lex.line + lines, "a string cannot hold a zero byte");
    if (end >= lex.text.size()) throw SYNTAX_ERROR(lex.line, "unterminated string");
    lex.line += lines;
    return end + 1;
}

// A word is name characters and quoted strings with nothing between them:
// an identifier (p_1), a string ("a b"), or a name made of both, which vok
// writes when it adds a suffix to a quoted predicate ("a b"_P1).
void takeWord(LEXER& lex, std::size_t start) {
    std::size_t end = start;
    int strings = 0;
    bool other = false;
    while (end < lex.text.size()) {
        if (isNameChar(lex.text[end])) {
            other = true;
            ++end;
        } else if (lex.text[end] == '"') {
            ++strings;
            end = endOfString(lex, end);
        } else {
            break;
        }
    }
    if (strings == 1 && !other) {
        take(lex, TOK::STRING, start, end);
        lex.current.text = lex.text.substr(start + 1, end - start - 2);  // without its quotes
        return;
    }
    take(lex, strings == 0 ? TOK::IDENT : TOK::QUOTED_NAME, start, end);
}

// The kind of a one-character token that is no operator.
TOK punctuationKind(char c, int line) {
    switch (c) {
        case '(': return TOK::LPAREN;
        case ')': return TOK::RPAREN;
        case '{': return TOK::LBRACE;
        case '}': return TOK::RBRACE;
        case ',': return TOK::COMMA;
        case '.': return TOK::DOT;
        case '-': return TOK::MINUS;
        case '~': return TOK::TILDE;
        case ':': return TOK::COLON;
        case ';': return TOK::SEMICOLON;
        default: throw SYNTAX_ERROR(line, "unexpected " + describeChar(c));
    }
}

}  // namespace

// Where the run of characters that pass test, beginning at i, ends.
std::size_t endOfRun(const LEXER& lex, std::size_t i, bool (*test)(char)) {
    while (i < lex.text.size() && test(lex.text[i])) ++i;
    return i;
}

// Reads the token after pos into current.
void advance(LEXER& lex) {
    skipBlanksAndComments(lex);
    lex.current.line = lex.line;
    const std::size_t start = lex.pos;
    if (start >= lex.text.size()) {
        take(lex, TOK::END, start, start);
        return;
    }
    const char c = lex.text[start];
    const char following = charAt(lex, start + 1);
    if (isLower(c) || isUpper(c) || c == '"') {
        takeWord(lex, start);
    } else if (isDigit(c)) {
        take(lex, TOK::INTEGER, start, endOfRun(lex, start + 1, isDigit));
    } else if ((c == '#' || c == '@') && (isLower(following) || isUpper(following))) {
        take(lex, c == '#' ? TOK::HASH : TOK::AT, start, endOfRun(lex, start + 1, isNameChar));
    } else if (c == ':' && following == '-') {
        take(lex, TOK::IF, start, start + 2);
    } else if ((c == '=' || c == '!' || c == '<' || c == '>') && following == '=') {
        take(lex, TOK::OP, start, start + 2);
    } else if (c == '*' && following == '*') {
        take(lex, TOK::OP, start, start + 2);
    } else if (c == '<' || c == '>' || c == '+' || c == '*' || c == '=' || c == '/' || c == '\\' ||
               c == '|') {
        take(lex, TOK::OP, start, start + 1);
    } else if (c == '_') {
        throw SYNTAX_ERROR(lex.line, "a name cannot begin with \"_\"");
    } else {
        take(lex, punctuationKind(c, lex.line), start, start + 1);
    }
}

}  // namespace vok::evaluation::reading
