// The literals that clingo reads as they are written, taken from the
// file's text whole: aggregates with their guards, and conditional literals
// with their conditions. vok checked their variables; clingo checks them
// again.
#include <string_view>

#include "evaluation/program/reader.hpp"
#include "evaluation/program/reading.hpp"

namespace vok::evaluation::reading {

// The aggregate functions clingo has, as a file writes them.
bool isAggregateFunction(std::string_view word) {
    return word == "#count" || word == "#sum" || word == "#min" || word == "#max";
}

bool isOperatorChar(char c) { return c == '<' || c == '>' || c == '=' || c == '!'; }

// Where the blanks from i on end.
std::size_t afterBlanks(std::string_view text, std::size_t i) {
    while (i < text.size() &&
           (text[i] == ' ' || text[i] == '\t' || text[i] == '\r' || text[i] == '\n'))
        ++i;
    return i;
}

// Where a comparison operator at i ends, or i when there is none.
std::size_t afterOperator(std::string_view text, std::size_t i) {
    std::size_t end = i;
    while (end < text.size() && end - i < 2 && isOperatorChar(text[end])) ++end;
    return end;
}

// Where the current token begins in the text.
std::size_t tokenStart(const READER& r) {
    return static_cast<std::size_t>(peek(r).text.data() - r.lex.text.data());
}

// Whether an aggregate begins at the current token: its function, or a
// term and a comparison before it (a left guard, "2 <= #count{...}").
bool atAggregate(const READER& r) {
    const TOKEN& t = peek(r);
    const bool infOrSup = t.kind == TOK::HASH && (t.text == "#inf" || t.text == "#sup");
    if (t.kind == TOK::HASH && !infOrSup) return isAggregateFunction(t.text);
    if (t.kind != TOK::INTEGER && t.kind != TOK::IDENT && t.kind != TOK::STRING &&
        t.kind != TOK::MINUS && !infOrSup)
        return false;
    const std::string_view text = r.lex.text;
    std::size_t i = r.lex.pos;
    if (t.kind == TOK::MINUS) i = endOfRun(r.lex, afterBlanks(text, i), isDigit);
    i = afterBlanks(text, i);
    const std::size_t op = afterOperator(text, i);
    if (op == i) return false;
    i = afterBlanks(text, op);
    return i < text.size() && text[i] == '#';
}

// Where the parentheses that open at i close, strings skipped; the text's
// end when they do not.
std::size_t afterParentheses(std::string_view text, std::size_t i) {
    int depth = 0;
    for (; i < text.size(); ++i) {
        if (text[i] == '"') {
            const std::size_t close = text.find('"', i + 1);
            if (close == std::string_view::npos) return text.size();
            i = close;
        } else if (text[i] == '(') {
            ++depth;
        } else if (text[i] == ')' && --depth == 0) {
            return i + 1;
        }
    }
    return text.size();
}

// Where the term at i ends: an integer (with its sign), a name, a string,
// #inf or #sup, a function term or a tuple ("q(a)", "(1,b)").
std::size_t afterTerm(std::string_view text, std::size_t i) {
    if (i < text.size() && (text[i] == '-' || text[i] == '#')) ++i;
    if (i < text.size() && text[i] == '"') {
        const std::size_t close = text.find('"', i + 1);
        return close == std::string_view::npos ? text.size() : close + 1;
    }
    while (i < text.size() && isNameChar(text[i])) ++i;
    if (i < text.size() && text[i] == '(') i = afterParentheses(text, i);
    return i;
}

// Reads an aggregate as it stands, with its guards, for clingo reads it as
// written: from the current token to the "}" that closes its elements and
// the right guard after it. Its variables were checked by vok; clingo
// checks them again.
LITERAL readAggregate(READER& r, bool negated) {
    const std::string_view text = r.lex.text;
    const std::size_t start = tokenStart(r);
    std::size_t i = text.find('{', start);
    if (i == std::string_view::npos) failHere(r, "expected \"{\" in an aggregate");
    for (++i; i < text.size() && text[i] != '}'; ++i)
        if (text[i] == '"') {
            const std::size_t close = text.find('"', i + 1);
            if (close == std::string_view::npos) break;
            i = close;
        }
    if (i >= text.size()) failHere(r, "expected \"}\" at the end of an aggregate");
    std::size_t end = i + 1;
    const std::size_t op = afterOperator(text, afterBlanks(text, end));
    if (op != afterBlanks(text, end)) end = afterTerm(text, afterBlanks(text, op));
    LITERAL lit;
    lit.isAggregate = true;
    lit.negated = negated;
    const std::string_view whole = text.substr(start, end - start);
    lit.atom.predicate = NAME(NAME::KIND::IDENTIFIER, keepText(r, whole));
    // A guard "X = ..." or "... = X" assigns X.
    const std::size_t first = whole.find_first_of("<>=!#");
    const std::string_view left = whole.substr(0, first);
    const std::size_t close = whole.rfind('}');
    std::string_view right = whole.substr(close + 1);
    auto assigned = [&](std::string_view guard, std::string_view term) {
        guard = guard.substr(0, guard.find_last_not_of(" ") + 1);
        const std::size_t a = term.find_first_not_of(" ");
        if (guard != "=" && guard != "==") return;
        if (a == std::string_view::npos || !isUpper(term[a])) return;
        TERM t;
        t.kind = TERM::KIND::VARIABLE;
        t.text = keepText(r, term.substr(a, term.find(' ', a) - a));
        r.terms.push_back(t);
        lit.atom.args = keepArguments(r, r.terms.size() - 1);
    };
    if (first != std::string_view::npos && whole[first] != '#') {
        const std::size_t hash = whole.find('#');
        assigned(whole.substr(first, hash - first), left);
    }
    if (!right.empty()) {
        right.remove_prefix(right.find_first_not_of(" "));
        const std::size_t termAt = afterOperator(right, 0);
        assigned(right.substr(0, termAt), right.substr(termAt));
    }
    for (std::size_t k = r.lex.pos; k < end; ++k)
        if (text[k] == '\n') ++r.lex.line;
    r.lex.pos = end;
    advance(r.lex);
    return lit;
}

// Where a conditional literal's condition that goes on at i ends, as clingo
// reads it: at the next ";" or the "." that ends the rule, outside strings
// and parentheses ("1..3" is no end).
std::size_t conditionEnd(std::string_view text, std::size_t i) {
    int depth = 0;
    for (; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '"') {
            const std::size_t close = text.find('"', i + 1);
            if (close == std::string_view::npos) return text.size();
            i = close;
        } else if (c == '(') {
            ++depth;
        } else if (c == ')') {
            --depth;
        } else if (depth == 0 && c == ';') {
            return i;
        } else if (depth == 0 && c == '.' && (i + 1 >= text.size() || text[i + 1] != '.') &&
                   (i == 0 || text[i - 1] != '.')) {
            return i;
        }
    }
    return i;
}

// The literal read from start on, at the colon of a conditional literal,
// becomes one "l : l1, ..., lm" as it stands, which clingo reads as written
// (its variables were checked by vok).
LITERAL readConditional(READER& r, std::size_t start) {
    const std::string_view text = r.lex.text;
    std::size_t end = conditionEnd(text, r.lex.pos);
    if (end >= text.size()) failHere(r, "expected \";\" or \".\" after a condition");
    while (end > start && (text[end - 1] == ' ' || text[end - 1] == '\n' || text[end - 1] == '\t' ||
                           text[end - 1] == '\r'))
        --end;
    LITERAL lit;
    lit.isAggregate = true;
    lit.conditional = true;
    lit.atom.predicate = NAME(NAME::KIND::IDENTIFIER, keepText(r, text.substr(start, end - start)));
    for (std::size_t k = r.lex.pos; k < end; ++k)
        if (text[k] == '\n') ++r.lex.line;
    r.lex.pos = end;
    advance(r.lex);
    return lit;
}

}  // namespace vok::evaluation::reading
