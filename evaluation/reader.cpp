#include "reader.hpp"

#include <cstdio>
#include <optional>

namespace vok::evaluation {

int builtin_arity(Builtin b) {
    switch (b) {
        case Builtin::Int: return 1;
        case Builtin::Plus:
        case Builtin::Times: return 3;
        default: return 2;
    }
}

const char* builtin_name(Builtin b) {
    switch (b) {
        case Builtin::Equal: return "==";
        case Builtin::Unequal: return "!=";
        case Builtin::Less: return "<";
        case Builtin::Greater: return ">";
        case Builtin::LessEq: return "<=";
        case Builtin::GreaterEq: return ">=";
        case Builtin::Int: return "#int";
        case Builtin::Succ: return "#succ";
        case Builtin::Plus: return "+";
        case Builtin::Times: return "*";
    }
    return "?";
}

bool builtin_is_arithmetic(Builtin b) {
    return b == Builtin::Int || b == Builtin::Succ || b == Builtin::Plus || b == Builtin::Times;
}

namespace {

enum class Tok {
    End,
    Ident,
    Integer,
    String,
    QuotedName,
    LParen,
    RParen,
    LBrace,
    RBrace,
    Comma,
    Dot,
    If,
    Minus,
    Tilde,
    Op,
    Hash,
    At,
};

struct Token {
    Tok kind = Tok::End;
    std::string_view text;  // identifier, digits, string content, operator...
    int line = 1;
};

bool is_lower(char c) { return c >= 'a' && c <= 'z'; }
bool is_upper(char c) { return c >= 'A' && c <= 'Z'; }
bool is_digit(char c) { return c >= '0' && c <= '9'; }
bool is_name_char(char c) { return is_lower(c) || is_upper(c) || is_digit(c) || c == '_'; }

std::string describe_char(char c) {
    unsigned char u = static_cast<unsigned char>(c);
    if (u >= 0x21 && u < 0x7f) return std::string("character \"") + c + "\"";
    char buf[16];
    std::snprintf(buf, sizeof buf, "byte 0x%02X", u);
    return buf;
}

// Splits the text into tokens on demand; one token of lookahead.
class Lexer {
public:
    explicit Lexer(std::string_view text) : text_(text) { advance(); }

    const Token& peek() const { return current_; }
    Token next() {
        Token t = current_;
        last_line_ = t.line;
        advance();
        return t;
    }
    // Line of the token under the cursor, and of the token read before it.
    int line() const { return current_.line; }
    int last_line() const { return last_line_; }

private:
    void skip_blanks_and_comments() {
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
        skip_blanks_and_comments();
        current_.line = line_;
        if (pos_ >= text_.size()) {
            current_.kind = Tok::End;
            current_.text = {};
            return;
        }
        std::size_t start = pos_;
        char c = text_[pos_];
        auto take = [&](Tok kind, std::size_t len) {
            current_.kind = kind;
            current_.text = text_.substr(start, len);
            pos_ = start + len;
        };
        auto at = [&](std::size_t i) -> char {
            return start + i < text_.size() ? text_[start + i] : '\0';
        };
        if (is_lower(c) || is_upper(c) || c == '"') {
            word(start);
        } else if (is_digit(c)) {
            std::size_t end = pos_ + 1;
            while (end < text_.size() && is_digit(text_[end])) ++end;
            take(Tok::Integer, end - start);
        } else if ((c == '#' || c == '@') && (is_lower(at(1)) || is_upper(at(1)))) {
            std::size_t end = pos_ + 1;
            while (end < text_.size() && is_name_char(text_[end])) ++end;
            take(c == '#' ? Tok::Hash : Tok::At, end - start);
        } else if (c == ':' && at(1) == '-') {
            take(Tok::If, 2);
        } else if ((c == '=' || c == '!' || c == '<' || c == '>') && at(1) == '=') {
            take(Tok::Op, 2);
        } else if (c == '<' || c == '>' || c == '+' || c == '*') {
            take(Tok::Op, 1);
        } else if (c == '_') {
            throw SyntaxError(line_, "a name cannot begin with \"_\"");
        } else {
            Tok kind;
            switch (c) {
                case '(': kind = Tok::LParen; break;
                case ')': kind = Tok::RParen; break;
                case '{': kind = Tok::LBrace; break;
                case '}': kind = Tok::RBrace; break;
                case ',': kind = Tok::Comma; break;
                case '.': kind = Tok::Dot; break;
                case '-': kind = Tok::Minus; break;
                case '~': kind = Tok::Tilde; break;
                default: throw SyntaxError(line_, "unexpected " + describe_char(c));
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
            if (is_name_char(c)) {
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
                    throw SyntaxError(line_ + lines, "a string cannot hold a zero byte");
                if (end >= text_.size()) throw SyntaxError(line_, "unterminated string");
                line_ += lines;
                ++end;
            } else {
                break;
            }
        }
        pos_ = end;
        if (strings == 0) {
            current_.kind = Tok::Ident;
            current_.text = text_.substr(start, end - start);
        } else if (strings == 1 && !other) {
            current_.kind = Tok::String;
            current_.text = text_.substr(start + 1, end - start - 2);
        } else {
            current_.kind = Tok::QuotedName;
            current_.text = text_.substr(start, end - start);
        }
    }

    std::string_view text_;
    std::size_t pos_ = 0;
    int line_ = 1;
    int last_line_ = 1;
    Token current_;
};

enum class Form { Rox, Pexa };

std::optional<Builtin> builtin_of(const Token& t) {
    if (t.kind == Tok::Op) {
        if (t.text == "==") return Builtin::Equal;
        if (t.text == "!=") return Builtin::Unequal;
        if (t.text == "<") return Builtin::Less;
        if (t.text == ">") return Builtin::Greater;
        if (t.text == "<=") return Builtin::LessEq;
        if (t.text == ">=") return Builtin::GreaterEq;
        if (t.text == "+") return Builtin::Plus;
        if (t.text == "*") return Builtin::Times;
    } else if (t.kind == Tok::Hash) {
        if (t.text == "#int") return Builtin::Int;
        if (t.text == "#succ") return Builtin::Succ;
    }
    return std::nullopt;
}

// Largest magnitude of an integer: clingo computes with 32-bit integers.
constexpr std::int64_t max_integer = 2147483647;

class Parser {
public:
    Parser(std::string_view text, Form form) : lex_(text), form_(form) {}

    Program read_rox_program() {
        Program program;
        while (lex_.peek().kind != Tok::End) program.rules.push_back(rule());
        return program;
    }

    Program read_pexa_program() {
        Program program;
        expect_word(Tok::At, "@SET", "expected \"@SET FUNCTION\" at the start of the file");
        expect_word(Tok::Ident, "FUNCTION", "expected \"@SET FUNCTION\" at the start of the file");
        expect_word(Tok::At, "@LP", "expected \"@LP({\" after \"@SET FUNCTION\"");
        expect(Tok::LParen, "expected \"@LP({\" after \"@SET FUNCTION\"");
        expect(Tok::LBrace, "expected \"@LP({\" after \"@SET FUNCTION\"");
        while (lex_.peek().kind != Tok::RBrace) {
            if (lex_.peek().kind == Tok::End) fail("expected \"})\" at the end of the program");
            program.rules.push_back(rule());
            if (lex_.peek().kind == Tok::Comma) lex_.next();
            else if (lex_.peek().kind != Tok::RBrace)
                fail("expected \",\" or \"})\" after an item");
        }
        lex_.next();
        expect(Tok::RParen, "expected \")\" after \"}\"");
        if (lex_.peek().kind != Tok::End) fail_here("unexpected text after \"})\"");
        return program;
    }

private:
    // Most faults are a missing piece after what was read, so they are
    // reported on the line of the last token read (a missing "." at the end of
    // line 3 is reported on line 3, not where the next rule starts).
    [[noreturn]] void fail(const std::string& message) {
        throw SyntaxError(lex_.last_line(), message);
    }
    [[noreturn]] void fail_here(const std::string& message) {
        throw SyntaxError(lex_.line(), message);
    }

    void expect(Tok kind, const char* message) {
        if (lex_.peek().kind != kind) fail(message);
        lex_.next();
    }

    void expect_word(Tok kind, std::string_view word, const char* message) {
        if (lex_.peek().kind != kind || lex_.peek().text != word) fail_here(message);
        lex_.next();
    }

    bool at_word(std::string_view word) const {
        return lex_.peek().kind == Tok::Ident && lex_.peek().text == word;
    }

    bool starts_atom() const {
        Tok k = lex_.peek().kind;
        return k == Tok::Ident || k == Tok::String || k == Tok::QuotedName || k == Tok::Minus;
    }

    Rule rule() {
        Rule r;
        r.line = lex_.line();
        if (lex_.peek().kind != Tok::If) {
            if (!starts_atom()) fail_here("expected an atom or \":-\" at the start of a rule");
            r.head.push_back(atom());
            while (at_word("v")) {
                lex_.next();
                if (!starts_atom()) fail("expected an atom after \"v\"");
                r.head.push_back(atom());
            }
            if (lex_.peek().kind == Tok::Dot) {
                lex_.next();
                return r;
            }
            if (lex_.peek().kind != Tok::If)
                fail("expected \"v\", \":-\" or \".\" after a head atom");
        }
        lex_.next();  // ":-"
        if (lex_.peek().kind == Tok::Dot) {
            lex_.next();
            return r;
        }
        for (;;) {
            r.body.push_back(literal());
            if (lex_.peek().kind == Tok::Dot) {
                lex_.next();
                return r;
            }
            if (lex_.peek().kind != Tok::Comma)
                fail("expected \",\" or \".\" after a body literal");
            lex_.next();
        }
    }

    Literal literal() {
        Literal lit;
        if (form_ == Form::Rox && at_word("not")) {
            lex_.next();
            lit.negated = true;
            if (builtin_of(lex_.peek())) fail_here("a builtin cannot be negated");
            if (!starts_atom()) fail("expected an atom after \"not\"");
        } else if (form_ == Form::Pexa && lex_.peek().kind == Tok::Tilde) {
            lex_.next();
            lit.negated = true;
            if (!starts_atom()) fail("expected an atom after \"~\"");
        } else if (auto b = builtin_of(lex_.peek())) {
            if (form_ == Form::Pexa) fail_here("builtins are not allowed in this form");
            return builtin(*b);
        } else if (!starts_atom()) {
            fail(form_ == Form::Rox ? "expected a body literal: an atom, \"not\" or a builtin"
                                    : "expected a body literal: an atom or \"~\"");
        }
        lit.atom = atom();
        return lit;
    }

    Literal builtin(Builtin b) {
        Literal lit;
        lit.is_builtin = true;
        lit.builtin = b;
        std::string name = builtin_name(b);
        lex_.next();
        if (lex_.peek().kind != Tok::LParen) fail("expected \"(\" after \"" + name + "\"");
        lex_.next();
        lit.args = arguments();
        int arity = builtin_arity(b);
        if (static_cast<int>(lit.args.size()) != arity)
            fail("\"" + name + "\" takes " + std::to_string(arity) + " argument" +
                 (arity == 1 ? "" : "s") + ", not " + std::to_string(lit.args.size()));
        return lit;
    }

    Atom atom() {
        Atom a;
        if (lex_.peek().kind == Tok::Minus) {
            if (form_ == Form::Pexa) fail_here("strong negation \"-\" is not allowed in this form");
            lex_.next();
            a.strongly_negated = true;
            Tok k = lex_.peek().kind;
            if (k != Tok::Ident && k != Tok::String && k != Tok::QuotedName)
                fail("expected a predicate name after \"-\"");
        }
        Token name = lex_.next();
        if (name.kind == Tok::String) {
            a.predicate = {Name::Kind::Quoted, "\"" + std::string(name.text) + "\""};
        } else if (name.kind == Tok::QuotedName) {
            a.predicate = {Name::Kind::Quoted, std::string(name.text)};
        } else {
            if (form_ == Form::Rox && name.text == "not")
                throw SyntaxError(name.line, "\"not\" is a reserved word and cannot be a name");
            a.predicate = {Name::Kind::Identifier, std::string(name.text)};
        }
        if (lex_.peek().kind == Tok::LParen) {
            if (form_ == Form::Pexa)
                fail_here("atom " + a.predicate.text +
                          " has arguments, but this form allows only propositional atoms");
            lex_.next();
            a.args = arguments();
        }
        return a;
    }

    // Reads "t1,...,tn)" after an opening parenthesis.
    std::vector<Term> arguments() {
        std::vector<Term> args;
        for (;;) {
            args.push_back(term(args.empty() ? "expected an argument after \"(\""
                                             : "expected an argument after \",\""));
            if (lex_.peek().kind == Tok::RParen) {
                lex_.next();
                return args;
            }
            if (lex_.peek().kind != Tok::Comma) fail("expected \")\" or \",\" after argument");
            lex_.next();
        }
    }

    Term term(const char* missing) {
        Term t;
        bool minus = false;
        if (lex_.peek().kind == Tok::Minus) {
            lex_.next();
            minus = true;
            if (lex_.peek().kind != Tok::Integer) fail("expected an integer after \"-\"");
        }
        const Token& tok = lex_.peek();
        switch (tok.kind) {
            case Tok::Ident:
                if (tok.text == "not") fail_here("\"not\" is a reserved word and cannot be a name");
                t.kind = is_upper(tok.text[0]) ? Term::Kind::Variable : Term::Kind::Constant;
                t.text = std::string(tok.text);
                break;
            case Tok::String:
                t.kind = Term::Kind::String;
                t.text = std::string(tok.text);
                break;
            case Tok::Integer: {
                std::int64_t v = 0;
                for (char c : tok.text) {
                    v = v * 10 + (c - '0');
                    if (v > max_integer)
                        fail("integer " + std::string(minus ? "-" : "") + std::string(tok.text) +
                             " is out of range (at most 2147483647 in magnitude)");
                }
                t.kind = Term::Kind::Integer;
                t.value = minus ? -v : v;
                t.text = std::to_string(t.value);
                break;
            }
            default: fail(missing);
        }
        lex_.next();
        return t;
    }

    Lexer lex_;
    Form form_;
};

}  // namespace

Program read_rox(std::string_view text) { return Parser(text, Form::Rox).read_rox_program(); }

Program read_pexa(std::string_view text) { return Parser(text, Form::Pexa).read_pexa_program(); }

}  // namespace vok::evaluation
