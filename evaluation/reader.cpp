#include "reader.hpp"

#include <cstdio>
#include <optional>

namespace vok::evaluation {

int builtinArity(BUILTIN b) {
    switch (b) {
        case BUILTIN::INT: return 1;
        case BUILTIN::PLUS:
        case BUILTIN::TIMES: return 3;
        default: return 2;
    }
}

const char* builtinName(BUILTIN b) {
    switch (b) {
        case BUILTIN::EQUAL: return "==";
        case BUILTIN::UNEQUAL: return "!=";
        case BUILTIN::LESS: return "<";
        case BUILTIN::GREATER: return ">";
        case BUILTIN::LESS_EQUAL: return "<=";
        case BUILTIN::GREATER_EQUAL: return ">=";
        case BUILTIN::INT: return "#int";
        case BUILTIN::SUCC: return "#succ";
        case BUILTIN::PLUS: return "+";
        case BUILTIN::TIMES: return "*";
    }
    return "?";
}

bool isArithmetic(BUILTIN b) {
    return b == BUILTIN::INT || b == BUILTIN::SUCC || b == BUILTIN::PLUS || b == BUILTIN::TIMES;
}

namespace {

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
    AT
};

struct TOKEN {
    TOK kind = TOK::END;
    std::string_view text;  // identifier, digits, string content, operator...
    int line = 1;
};

bool isLower(char c) { return c >= 'a' && c <= 'z'; }
bool isUpper(char c) { return c >= 'A' && c <= 'Z'; }
bool isDigit(char c) { return c >= '0' && c <= '9'; }
bool isNameChar(char c) { return isLower(c) || isUpper(c) || isDigit(c) || c == '_'; }

std::string describeChar(char c) {
    unsigned char u = static_cast<unsigned char>(c);
    if (u >= 0x21 && u < 0x7f) return std::string("character \"") + c + "\"";
    char buf[16];
    std::snprintf(buf, sizeof buf, "byte 0x%02X", u);
    return buf;
}

// Splits the text into tokens on demand; one token of lookahead.
class LEXER {
public:
    explicit LEXER(std::string_view text) : text_(text) { advance(); }

    const TOKEN& peek() const { return current_; }
    TOKEN next() {
        TOKEN t = current_;
        lastLine_ = t.line;
        advance();
        return t;
    }
    // Line of the token under the cursor, and of the token read before it.
    int line() const { return current_.line; }
    int lastLine() const { return lastLine_; }

private:
    void skipBlanksAndComments() {
        while (pos_ < text_.size()) {
            char c = text_[pos_];
            if (c == '\n') {
                ++line_;
                ++pos_;
            } else if (c == ' ' || c == '\t' || c == '\r' || c == '\f' || c == '\v') {
                ++pos_;
            } else if (c == '%') {
                while (pos_ < text_.size() && text_[pos_] != '\n') ++pos_;
            } else {
                break;
            }
        }
    }

    void advance() {
        skipBlanksAndComments();
        current_.line = line_;
        if (pos_ >= text_.size()) {
            current_.kind = TOK::END;
            current_.text = {};
            return;
        }
        std::size_t start = pos_;
        char c = text_[pos_];
        auto take = [&](TOK kind, std::size_t len) {
            current_.kind = kind;
            current_.text = text_.substr(start, len);
            pos_ = start + len;
        };
        auto at = [&](std::size_t i) -> char {
            return start + i < text_.size() ? text_[start + i] : '\0';
        };
        if (isLower(c) || isUpper(c) || c == '"') {
            word(start);
        } else if (isDigit(c)) {
            std::size_t end = pos_ + 1;
            while (end < text_.size() && isDigit(text_[end])) ++end;
            take(TOK::INTEGER, end - start);
        } else if ((c == '#' || c == '@') && (isLower(at(1)) || isUpper(at(1)))) {
            std::size_t end = pos_ + 1;
            while (end < text_.size() && isNameChar(text_[end])) ++end;
            take(c == '#' ? TOK::HASH : TOK::AT, end - start);
        } else if (c == ':' && at(1) == '-') {
            take(TOK::IF, 2);
        } else if ((c == '=' || c == '!' || c == '<' || c == '>') && at(1) == '=') {
            take(TOK::OP, 2);
        } else if (c == '<' || c == '>' || c == '+' || c == '*') {
            take(TOK::OP, 1);
        } else if (c == '_') {
            throw SYNTAX_ERROR(line_, "a name cannot begin with \"_\"");
        } else {
            TOK kind;
            switch (c) {
                case '(': kind = TOK::LPAREN; break;
                case ')': kind = TOK::RPAREN; break;
                case '{': kind = TOK::LBRACE; break;
                case '}': kind = TOK::RBRACE; break;
                case ',': kind = TOK::COMMA; break;
                case '.': kind = TOK::DOT; break;
                case '-': kind = TOK::MINUS; break;
                case '~': kind = TOK::TILDE; break;
                default: throw SYNTAX_ERROR(line_, "unexpected " + describeChar(c));
            }
            take(kind, 1);
        }
    }

    // A word is name characters and quoted strings with nothing between them:
    // an identifier (p_1), a string ("a b"), or a name made of both, which vok
    // writes when it adds a suffix to a quoted predicate ("a b"_P1).
    void word(std::size_t start) {
        std::size_t end = start;
        int strings = 0;
        bool other = false;
        while (end < text_.size()) {
            char c = text_[end];
            if (isNameChar(c)) {
                other = true;
                ++end;
            } else if (c == '"') {
                // A string runs to the next quote, line ends included (vok's input
                // allows them); its lines still count for later messages.
                ++strings;
                ++end;
                int lines = 0;
                while (end < text_.size() && text_[end] != '"' && text_[end] != '\0') {
                    if (text_[end] == '\n') ++lines;
                    ++end;
                }
                if (end < text_.size() && text_[end] == '\0')
                    throw SYNTAX_ERROR(line_ + lines, "a string cannot hold a zero byte");
                if (end >= text_.size()) throw SYNTAX_ERROR(line_, "unterminated string");
                line_ += lines;
                ++end;
            } else {
                break;
            }
        }
        pos_ = end;
        if (strings == 0) {
            current_.kind = TOK::IDENT;
            current_.text = text_.substr(start, end - start);
        } else if (strings == 1 && !other) {
            current_.kind = TOK::STRING;
            current_.text = text_.substr(start + 1, end - start - 2);
        } else {
            current_.kind = TOK::QUOTED_NAME;
            current_.text = text_.substr(start, end - start);
        }
    }

    std::string_view text_;
    std::size_t pos_ = 0;
    int line_ = 1;
    int lastLine_ = 1;
    TOKEN current_;
};

enum class FORM { ROX, PEXA };

std::optional<BUILTIN> builtinOf(const TOKEN& t) {
    if (t.kind == TOK::OP) {
        if (t.text == "==") return BUILTIN::EQUAL;
        if (t.text == "!=") return BUILTIN::UNEQUAL;
        if (t.text == "<") return BUILTIN::LESS;
        if (t.text == ">") return BUILTIN::GREATER;
        if (t.text == "<=") return BUILTIN::LESS_EQUAL;
        if (t.text == ">=") return BUILTIN::GREATER_EQUAL;
        if (t.text == "+") return BUILTIN::PLUS;
        if (t.text == "*") return BUILTIN::TIMES;
    } else if (t.kind == TOK::HASH) {
        if (t.text == "#int") return BUILTIN::INT;
        if (t.text == "#succ") return BUILTIN::SUCC;
    }
    return std::nullopt;
}

// Largest magnitude of an integer: clingo computes with 32-bit integers.
constexpr std::int64_t MaxInteger = 2147483647;

class READER {
public:
    READER(std::string_view text, FORM form) : lex_(text), form_(form) {}

    PROGRAM readRoxProgram() {
        PROGRAM program;
        while (lex_.peek().kind != TOK::END) program.rules.push_back(rule());
        return program;
    }

    PROGRAM readPexaProgram() {
        PROGRAM program;
        expectWord(TOK::AT, "@SET", "expected \"@SET FUNCTION\" at the start of the file");
        expectWord(TOK::IDENT, "FUNCTION", "expected \"@SET FUNCTION\" at the start of the file");
        expectWord(TOK::AT, "@LP", "expected \"@LP({\" after \"@SET FUNCTION\"");
        expect(TOK::LPAREN, "expected \"@LP({\" after \"@SET FUNCTION\"");
        expect(TOK::LBRACE, "expected \"@LP({\" after \"@SET FUNCTION\"");
        while (lex_.peek().kind != TOK::RBRACE) {
            if (lex_.peek().kind == TOK::END) fail("expected \"})\" at the end of the program");
            program.rules.push_back(rule());
            if (lex_.peek().kind == TOK::COMMA) lex_.next();
            else if (lex_.peek().kind != TOK::RBRACE)
                fail("expected \",\" or \"})\" after an item");
        }
        lex_.next();
        expect(TOK::RPAREN, "expected \")\" after \"}\"");
        if (lex_.peek().kind != TOK::END) failHere("unexpected text after \"})\"");
        return program;
    }

private:
    // Most faults are a missing piece after what was read, so they are
    // reported on the line of the last token read (a missing "." at the end of
    // line 3 is reported on line 3, not where the next rule starts).
    [[noreturn]] void fail(const std::string& message) {
        throw SYNTAX_ERROR(lex_.lastLine(), message);
    }
    [[noreturn]] void failHere(const std::string& message) {
        throw SYNTAX_ERROR(lex_.line(), message);
    }

    void expect(TOK kind, const char* message) {
        if (lex_.peek().kind != kind) fail(message);
        lex_.next();
    }

    void expectWord(TOK kind, std::string_view word, const char* message) {
        if (lex_.peek().kind != kind || lex_.peek().text != word) failHere(message);
        lex_.next();
    }

    bool atWord(std::string_view word) const {
        return lex_.peek().kind == TOK::IDENT && lex_.peek().text == word;
    }

    bool startsAtom() const {
        TOK k = lex_.peek().kind;
        return k == TOK::IDENT || k == TOK::STRING || k == TOK::QUOTED_NAME || k == TOK::MINUS;
    }

    RULE rule() {
        RULE r;
        r.line = lex_.line();
        if (lex_.peek().kind != TOK::IF) {
            if (!startsAtom()) failHere("expected an atom or \":-\" at the start of a rule");
            r.head.push_back(atom());
            while (atWord("v")) {
                lex_.next();
                if (!startsAtom()) fail("expected an atom after \"v\"");
                r.head.push_back(atom());
            }
            if (lex_.peek().kind == TOK::DOT) {
                lex_.next();
                return r;
            }
            if (lex_.peek().kind != TOK::IF)
                fail("expected \"v\", \":-\" or \".\" after a head atom");
        }
        lex_.next();  // ":-"
        if (lex_.peek().kind == TOK::DOT) {
            lex_.next();
            return r;
        }
        for (;;) {
            r.body.push_back(literal());
            if (lex_.peek().kind == TOK::DOT) {
                lex_.next();
                return r;
            }
            if (lex_.peek().kind != TOK::COMMA)
                fail("expected \",\" or \".\" after a body literal");
            lex_.next();
        }
    }

    LITERAL literal() {
        LITERAL lit;
        if (form_ == FORM::ROX && atWord("not")) {
            lex_.next();
            lit.negated = true;
            if (builtinOf(lex_.peek())) failHere("a builtin cannot be negated");
            if (!startsAtom()) fail("expected an atom after \"not\"");
        } else if (form_ == FORM::PEXA && lex_.peek().kind == TOK::TILDE) {
            lex_.next();
            lit.negated = true;
            if (!startsAtom()) fail("expected an atom after \"~\"");
        } else if (auto b = builtinOf(lex_.peek())) {
            if (form_ == FORM::PEXA) failHere("builtins are not allowed in this form");
            return builtin(*b);
        } else if (!startsAtom()) {
            fail(form_ == FORM::ROX ? "expected a body literal: an atom, \"not\" or a builtin"
                                    : "expected a body literal: an atom or \"~\"");
        }
        lit.atom = atom();
        return lit;
    }

    LITERAL builtin(BUILTIN b) {
        LITERAL lit;
        lit.isBuiltin = true;
        lit.builtin = b;
        std::string name = builtinName(b);
        lex_.next();
        if (lex_.peek().kind != TOK::LPAREN) fail("expected \"(\" after \"" + name + "\"");
        lex_.next();
        lit.args = arguments();
        int arity = builtinArity(b);
        if (static_cast<int>(lit.args.size()) != arity)
            fail("\"" + name + "\" takes " + std::to_string(arity) + " argument" +
                 (arity == 1 ? "" : "s") + ", not " + std::to_string(lit.args.size()));
        return lit;
    }

    ATOM atom() {
        ATOM a;
        if (lex_.peek().kind == TOK::MINUS) {
            if (form_ == FORM::PEXA) failHere("strong negation \"-\" is not allowed in this form");
            lex_.next();
            a.stronglyNegated = true;
            TOK k = lex_.peek().kind;
            if (k != TOK::IDENT && k != TOK::STRING && k != TOK::QUOTED_NAME)
                fail("expected a predicate name after \"-\"");
        }
        TOKEN name = lex_.next();
        if (name.kind == TOK::STRING) {
            a.predicate = {NAME::KIND::QUOTED, "\"" + std::string(name.text) + "\""};
        } else if (name.kind == TOK::QUOTED_NAME) {
            a.predicate = {NAME::KIND::QUOTED, std::string(name.text)};
        } else {
            if (form_ == FORM::ROX && name.text == "not")
                throw SYNTAX_ERROR(name.line, "\"not\" is a reserved word and cannot be a name");
            a.predicate = {NAME::KIND::IDENTIFIER, std::string(name.text)};
        }
        if (lex_.peek().kind == TOK::LPAREN) {
            if (form_ == FORM::PEXA)
                failHere("atom " + a.predicate.text +
                         " has arguments, but this form allows only propositional atoms");
            lex_.next();
            a.args = arguments();
        }
        return a;
    }

    // Reads "t1,...,tn)" after an opening parenthesis.
    std::vector<TERM> arguments() {
        std::vector<TERM> args;
        for (;;) {
            args.push_back(term(args.empty() ? "expected an argument after \"(\""
                                             : "expected an argument after \",\""));
            if (lex_.peek().kind == TOK::RPAREN) {
                lex_.next();
                return args;
            }
            if (lex_.peek().kind != TOK::COMMA) fail("expected \")\" or \",\" after argument");
            lex_.next();
        }
    }

    TERM term(const char* missing) {
        TERM t;
        bool minus = false;
        if (lex_.peek().kind == TOK::MINUS) {
            lex_.next();
            minus = true;
            if (lex_.peek().kind != TOK::INTEGER) fail("expected an integer after \"-\"");
        }
        const TOKEN& tok = lex_.peek();
        switch (tok.kind) {
            case TOK::IDENT:
                if (tok.text == "not") failHere("\"not\" is a reserved word and cannot be a name");
                t.kind = isUpper(tok.text[0]) ? TERM::KIND::VARIABLE : TERM::KIND::CONSTANT;
                t.text = std::string(tok.text);
                break;
            case TOK::STRING:
                t.kind = TERM::KIND::STRING;
                t.text = std::string(tok.text);
                break;
            case TOK::INTEGER: {
                std::int64_t v = 0;
                for (char c : tok.text) {
                    v = v * 10 + (c - '0');
                    if (v > MaxInteger)
                        fail("integer " + std::string(minus ? "-" : "") + std::string(tok.text) +
                             " is out of range (at most 2147483647 in magnitude)");
                }
                t.kind = TERM::KIND::INTEGER;
                t.value = minus ? -v : v;
                t.text = std::to_string(t.value);
                break;
            }
            default: fail(missing);
        }
        lex_.next();
        return t;
    }

    LEXER lex_;
    FORM form_;
};

}  // namespace

PROGRAM ReadRox(std::string_view text) { return READER(text, FORM::ROX).readRoxProgram(); }

PROGRAM ReadPexa(std::string_view text) { return READER(text, FORM::PEXA).readPexaProgram(); }

}  // namespace vok::evaluation
