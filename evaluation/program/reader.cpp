#include "evaluation/program/reader.hpp"

#include <algorithm>
#include <array>
#include <cstdio>
#include <optional>
#include <utility>

#include "common/contract.hpp"
#include "common/name_index.hpp"
#include "evaluation/program/reading.hpp"

namespace vok::evaluation::reading {

// An operator or a hash word names a builtin when its text is one's name.
std::optional<BUILTIN> builtinOf(const TOKEN& t) {
    if (t.kind != TOK::OP && t.kind != TOK::HASH) return std::nullopt;
    // An assignment T = U is clingo's equality.
    if (t.kind == TOK::OP && t.text == AssignmentName) return BUILTIN::EQUAL;
    const std::optional<std::size_t> b = BuiltinNumber(t.text);
    if (!b) return std::nullopt;
    return static_cast<BUILTIN>(*b);
}

// Largest magnitude of an integer: clingo computes with 32-bit integers.
constexpr std::int64_t MaxInteger = 2147483647;

// The hash of a name the reader has come to, from the look ahead when it
// hashed that very word of the text.
std::uint32_t hashOfName(READER& r, std::string_view text) {
    while (r.taken < r.pushed) {
        const HASHED& w = r.hashed[r.taken % r.hashed.size()];
        if (w.start > text.data()) break;
        ++r.taken;
        if (w.start == text.data() && w.length == text.size()) return w.hash;
    }
    return nameHash(text);
}

// The program's own copy of a predicate name read from the file's text,
// and its number.
std::pair<std::string_view, std::uint32_t> intern(READER& r, std::string_view text) {
    NAMES& t = r.names;
    // At most three quarters full: linear probing stays short, and a file
    // with a name per rule (vok's rejection names) keeps a smaller index.
    if (4 * (std::size_t(t.count) + 1) > 3 * t.index.slots.size())
        regrowIndex(t.index, 2 * t.index.slots.size());
    const std::uint32_t hash = hashOfName(r, text);
    const std::size_t i = probeIndex(t.index, hash, [&](const NAME_SLOT& slot) {
        return slot.hash == hash && NAME_TEXTS::view(slot.text) == text;
    });
    const NAME_SLOT& slot = t.index.slots[i];
    if (!slot.free()) return {NAME_TEXTS::view(slot.text), slot.number};
    const char* name = r.program.store->names.add(text);
    t.index.slots[i] = {name, hash, t.count};
    return {{name, text.size()}, t.count++};
}

// A term's text: copied, not interned, as nothing looks terms up by text.
std::string_view keepText(READER& r, std::string_view text) {
    const std::span<const char> kept = keep(r.program.store->texts, std::span(text));
    return {kept.data(), kept.size()};
}

NAME nameOf(READER& r, NAME::KIND kind, std::string_view text) {
    auto [kept, number] = intern(r, text);
    return NAME(kind, kept, number);
}

// Keeps the scratch entries from first on as one run, and drops them from
// the scratch vector.
template <typename T>
std::span<const T> keepFrom(std::vector<T>& scratch, std::size_t first, BLOCKS<T>& blocks) {
    std::span<const T> kept =
        keep(blocks, std::span<const T>(scratch.data() + first, scratch.size() - first));
    scratch.resize(first);
    return kept;
}

TOKEN next(READER& r) { return next(r.lex); }

// Most faults are a missing piece after what was read, so they are reported
// on the line of the last token read (a missing "." at the end of line 3 is
// reported on line 3, not where the next rule starts).
[[noreturn]] void fail(const READER& r, const std::string& message) {
    throw SYNTAX_ERROR(r.lex.lastLine, message);
}
[[noreturn]] void failHere(const READER& r, const std::string& message) {
    throw SYNTAX_ERROR(peek(r).line, message);
}

void expect(READER& r, TOK kind, const char* message) {
    if (peek(r).kind != kind) fail(r, message);
    next(r);
}

void expectWord(READER& r, TOK kind, std::string_view word, const char* message) {
    if (peek(r).kind != kind || peek(r).text != word) failHere(r, message);
    next(r);
}

bool atWord(const READER& r, std::string_view word) {
    return peek(r).kind == TOK::IDENT && peek(r).text == word;
}

bool startsAtom(const READER& r) {
    TOK k = peek(r).kind;
    return k == TOK::IDENT || k == TOK::STRING || k == TOK::QUOTED_NAME || k == TOK::MINUS;
}

// The integer of the current token, negative with minus.
TERM integerTerm(READER& r, bool minus) {
    const std::string_view digits = peek(r).text;
    std::int64_t v = 0;
    for (char c : digits) {
        v = v * 10 + (c - '0');
        if (v > MaxInteger)
            fail(r, "integer " + std::string(minus ? "-" : "") + std::string(digits) +
                        " is out of range (at most 2147483647 in magnitude)");
    }
    TERM t;
    t.kind = TERM::KIND::INTEGER;
    t.value = static_cast<std::int32_t>(minus ? -v : v);
    t.text = keepText(r, std::to_string(t.value));
    return t;
}

// ---- compound terms ------------------------------------------------------
//
// A term with a function symbol or an operator is read into clingo's text
// of it (strings escaped as appendTerm escapes them), with what it holds:
// variables, arithmetic. Precedence as clingo's: "+" "-" below "*" "/" "\\"
// below "**" (to the right) below unary "-" and "|...|".

bool atOperator(const READER& r, std::string_view op) {
    return peek(r).kind == TOK::OP && peek(r).text == op;
}

struct COMPOUND_TEXT {
    std::string text;
    std::int32_t holds = 0;
};

void readSum(READER& r, COMPOUND_TEXT& c, const char* missing);

void readPrimary(READER& r, COMPOUND_TEXT& c, const char* missing) {
    const TOKEN tok = peek(r);
    switch (tok.kind) {
        case TOK::IDENT:
            if (tok.text == "not") failHere(r, "\"not\" is a reserved word and cannot be a name");
            next(r);
            c.text += tok.text;
            if (isUpper(tok.text[0])) {
                c.holds |= COMPOUND_VARIABLES;
                return;
            }
            if (peek(r).kind != TOK::LPAREN) return;
            next(r);
            c.text += '(';
            for (;;) {
                readSum(r, c, "expected an argument of a function term");
                if (peek(r).kind == TOK::RPAREN) break;
                if (peek(r).kind != TOK::COMMA)
                    fail(r, "expected \")\" or \",\" in a function term");
                next(r);
                c.text += ',';
            }
            next(r);
            c.text += ')';
            return;
        case TOK::STRING: {
            TERM t;
            t.kind = TERM::KIND::STRING;
            t.text = tok.text;
            appendTerm(c.text, t);
            next(r);
            return;
        }
        case TOK::INTEGER: {
            const TERM t = integerTerm(r, false);
            appendNumber(c.text, t.value);
            next(r);
            return;
        }
        case TOK::HASH:
            if (tok.text != "#inf" && tok.text != "#sup") fail(r, missing);
            c.text += tok.text;
            next(r);
            return;
        case TOK::LPAREN:
            next(r);
            c.text += '(';
            readSum(r, c, "expected a term after \"(\"");
            expect(r, TOK::RPAREN, "expected \")\" after a term");
            c.text += ')';
            return;
        case TOK::MINUS:
            next(r);
            c.text += '-';
            c.holds |= COMPOUND_ARITHMETIC;
            readPrimary(r, c, "expected a term after \"-\"");
            return;
        default:
            if (atOperator(r, "|")) {
                next(r);
                c.text += '|';
                c.holds |= COMPOUND_ARITHMETIC;
                readSum(r, c, "expected a term after \"|\"");
                if (!atOperator(r, "|")) fail(r, "expected \"|\" after a term");
                next(r);
                c.text += '|';
                return;
            }
            fail(r, missing);
    }
}

// The operators of one level, tightest last.
bool atLevelOperator(const READER& r, int level) {
    if (level == 0) return atOperator(r, "+") || peek(r).kind == TOK::MINUS;
    if (level == 1) return atOperator(r, "*") || atOperator(r, "/") || atOperator(r, "\\");
    return atOperator(r, "**");
}

void readLevel(READER& r, COMPOUND_TEXT& c, const char* missing, int level) {
    if (level == 3) return readPrimary(r, c, missing);
    readLevel(r, c, missing, level + 1);
    while (atLevelOperator(r, level)) {
        c.text += next(r).text;
        c.holds |= COMPOUND_ARITHMETIC;
        // "**" groups to the right.
        readLevel(r, c, "expected a term after an operator", level == 2 ? 2 : level + 1);
    }
}

void readSum(READER& r, COMPOUND_TEXT& c, const char* missing) { readLevel(r, c, missing, 0); }

// Whether the token after a plain term goes on with it.
bool continuesTerm(const READER& r) {
    const TOKEN& t = peek(r);
    if (t.kind == TOK::MINUS || t.kind == TOK::LPAREN) return true;
    return t.kind == TOK::OP &&
           (t.text == "+" || t.text == "*" || t.text == "/" || t.text == "\\" || t.text == "**");
}

TERM compoundTerm(READER& r, COMPOUND_TEXT&& c) {
    TERM t;
    t.kind = TERM::KIND::COMPOUND;
    t.value = c.holds;
    t.text = keepText(r, c.text);
    return t;
}

TERM readTerm(READER& r, const char* missing) {
    bool minus = false;
    if (peek(r).kind == TOK::MINUS) {
        minus = true;
        // "-" and an integer is a negative integer; before anything else,
        // clingo's unary minus.
        if (charAt(r.lex, r.lex.pos) < '0' || charAt(r.lex, r.lex.pos) > '9') {
            COMPOUND_TEXT c;
            readSum(r, c, missing);
            return compoundTerm(r, std::move(c));
        }
        next(r);
    }
    const TOKEN& tok = peek(r);
    const std::size_t start = tok.text.data() - r.lex.text.data();
    TERM t;
    switch (tok.kind) {
        case TOK::IDENT:
            if (tok.text == "not") failHere(r, "\"not\" is a reserved word and cannot be a name");
            t.kind = isUpper(tok.text[0]) ? TERM::KIND::VARIABLE : TERM::KIND::CONSTANT;
            t.text = keepText(r, tok.text);
            break;
        case TOK::STRING:
            t.kind = TERM::KIND::STRING;
            t.text = keepText(r, tok.text);
            break;
        case TOK::INTEGER: t = integerTerm(r, minus); break;
        case TOK::HASH:
            if (tok.text != "#inf" && tok.text != "#sup") fail(r, missing);
            // Ordered by clingo, as a function term is: a ground compound.
            t.kind = TERM::KIND::COMPOUND;
            t.text = keepText(r, tok.text);
            break;
        default:
            if (peek(r).kind == TOK::LPAREN || atOperator(r, "|")) {
                COMPOUND_TEXT c;
                readSum(r, c, missing);
                return compoundTerm(r, std::move(c));
            }
            fail(r, missing);
    }
    next(r);
    if (!continuesTerm(r)) return t;
    // A function term or an operation: read again from its start.
    r.lex.pos = start - (minus ? 1 : 0);
    r.lex.line = tok.line;
    advance(r.lex);
    COMPOUND_TEXT c;
    readSum(r, c, missing);
    return compoundTerm(r, std::move(c));
}

// The arguments read from first on, kept. Those of the atom before are
// kept once: a fact's rejection rule and its rewritten rule, next to each
// other, name the same arguments.
TERMS keepArguments(READER& r, std::size_t first) {
    const TERMS read(r.terms.data() + first, r.terms.size() - first);
    if (sameTerms(read, r.lastArguments)) {
        r.terms.resize(first);
        return r.lastArguments;
    }
    r.lastArguments = keepFrom(r.terms, first, r.program.store->terms);
    return r.lastArguments;
}

// Reads "t1,...,tn)" after an opening parenthesis.
TERMS readArguments(READER& r) {
    const std::size_t first = r.terms.size();
    for (;;) {
        const TERM t = readTerm(r, r.terms.size() == first ? "expected an argument after \"(\""
                                                           : "expected an argument after \",\"");
        r.terms.push_back(t);
        if (peek(r).kind == TOK::RPAREN) {
            next(r);
            return keepArguments(r, first);
        }
        if (peek(r).kind != TOK::COMMA) fail(r, "expected \")\" or \",\" after argument");
        next(r);
    }
}

ATOM readAtom(READER& r) {
    ATOM a;
    if (peek(r).kind == TOK::MINUS) {
        if (r.form == FORM::PEXA) failHere(r, "strong negation \"-\" is not allowed in this form");
        next(r);
        a.stronglyNegated = true;
        TOK k = peek(r).kind;
        if (k != TOK::IDENT && k != TOK::STRING && k != TOK::QUOTED_NAME)
            fail(r, "expected a predicate name after \"-\"");
    }
    TOKEN name = next(r);
    if (name.kind == TOK::STRING) {
        // The name keeps its quotes, which stand just around the token.
        a.predicate = nameOf(r, NAME::KIND::QUOTED,
                             std::string_view(name.text.data() - 1, name.text.size() + 2));
    } else if (name.kind == TOK::QUOTED_NAME) {
        a.predicate = nameOf(r, NAME::KIND::QUOTED, name.text);
    } else {
        if (r.form == FORM::ROX && name.text == "not")
            throw SYNTAX_ERROR(name.line, "\"not\" is a reserved word and cannot be a name");
        a.predicate = nameOf(r, NAME::KIND::IDENTIFIER, name.text);
    }
    if (peek(r).kind == TOK::LPAREN) {
        if (r.form == FORM::PEXA)
            failHere(r, "atom " + std::string(a.predicate.text) +
                            " has arguments, but this form allows only propositional atoms");
        next(r);
        a.args = readArguments(r);
    }
    return a;
}

LITERAL readBuiltin(READER& r, BUILTIN b) {
    LITERAL lit;
    lit.isBuiltin = true;
    lit.builtin = b;
    std::string name = builtinName(b);
    next(r);
    if (peek(r).kind != TOK::LPAREN) fail(r, "expected \"(\" after \"" + name + "\"");
    next(r);
    lit.atom.args = readArguments(r);
    int arity = builtinArity(b);
    if (static_cast<int>(lit.atom.args.size()) != arity)
        fail(r, "\"" + name + "\" takes " + std::to_string(arity) + " argument" +
                    (arity == 1 ? "" : "s") + ", not " + std::to_string(lit.atom.args.size()));
    return lit;
}

LITERAL readLiteral(READER& r) {
    LITERAL lit;
    if (r.form == FORM::ROX && atAggregate(r)) return readAggregate(r, false);
    if (r.form == FORM::ROX && atWord(r, "not")) {
        next(r);
        lit.negated = true;
        if (atAggregate(r)) return readAggregate(r, true);
        if (atWord(r, "not")) {
            next(r);
            lit.doubled = true;
        }
        if (builtinOf(peek(r))) failHere(r, "a builtin cannot be negated");
        if (!startsAtom(r)) fail(r, "expected an atom after \"not\"");
    } else if (r.form == FORM::PEXA && peek(r).kind == TOK::TILDE) {
        next(r);
        lit.negated = true;
        if (!startsAtom(r)) fail(r, "expected an atom after \"~\"");
    } else if (auto b = builtinOf(peek(r))) {
        if (r.form == FORM::PEXA) failHere(r, "builtins are not allowed in this form");
        return readBuiltin(r, *b);
    } else if (!startsAtom(r)) {
        fail(r, r.form == FORM::ROX ? "expected a body literal: an atom, \"not\" or a builtin"
                                    : "expected a body literal: an atom or \"~\"");
    }
    lit.atom = readAtom(r);
    return lit;
}

// The head atoms of a rule, up to ":-" or the final "."; none for a
// constraint.
std::span<const ATOM> readHead(READER& r) {
    if (peek(r).kind == TOK::IF) return {};
    if (peek(r).kind == TOK::LBRACE) {
        next(r);
        if (!startsAtom(r)) fail(r, "expected an atom after \"{\"");
        r.atoms.clear();
        r.atoms.push_back(readAtom(r));
        expect(r, TOK::RBRACE, "expected \"}\" after the atom of a choice");
        if (peek(r).kind != TOK::DOT && peek(r).kind != TOK::IF)
            fail(r, "expected \":-\" or \".\" after a choice");
        return keepFrom(r.atoms, 0, r.program.store->atoms);
    }
    if (!startsAtom(r)) failHere(r, "expected an atom or \":-\" at the start of a rule");
    r.atoms.clear();
    r.atoms.push_back(readAtom(r));
    while (atWord(r, "v")) {
        next(r);
        if (!startsAtom(r)) fail(r, "expected an atom after \"v\"");
        r.atoms.push_back(readAtom(r));
    }
    if (peek(r).kind != TOK::DOT && peek(r).kind != TOK::IF)
        fail(r, "expected \"v\", \":-\" or \".\" after a head atom");
    return keepFrom(r.atoms, 0, r.program.store->atoms);
}

// The body literals after ":-", up to and with the final ".". A body that
// holds a conditional literal separates its literals with ";".
std::span<const LITERAL> readBody(READER& r) {
    next(r);  // ":-"
    if (peek(r).kind == TOK::DOT) {
        next(r);
        return {};
    }
    r.literals.clear();
    for (;;) {
        const std::size_t start = tokenStart(r);
        r.literals.push_back(readLiteral(r));
        if (r.form == FORM::ROX && peek(r).kind == TOK::COLON)
            r.literals.back() = readConditional(r, start);
        if (peek(r).kind == TOK::DOT) {
            next(r);
            return keepFrom(r.literals, 0, r.program.store->literals);
        }
        if (peek(r).kind != TOK::COMMA && (r.form != FORM::ROX || peek(r).kind != TOK::SEMICOLON))
            fail(r, "expected \",\" or \".\" after a body literal");
        next(r);
    }
}

// A large file names many more predicates than the caches hold, and each
// name read is looked up at a place of the index its hash decides. A scan
// some way ahead of the reader takes the words outside parentheses (the
// predicate names, and a few other words), hashes them and starts fetching
// their places, so that the lookup finds them at hand. It is only a hint:
// strings, comments and unbalanced parentheses merely make it miss names.
constexpr std::size_t AheadBytes = 2048;
constexpr std::uint64_t Lag = 32;

void lookAhead(READER& r) {
    const std::string_view text = r.lex.text;
    std::size_t pos = std::max(r.ahead, r.lex.pos);
    const std::size_t end = std::min(text.size(), r.lex.pos + AheadBytes);
    int depth = r.ahead < r.lex.pos ? 0 : r.aheadDepth;
    const NAME_INDEX<NAME_SLOT>& index = r.names.index;
    while (pos < end) {
        const char c = text[pos];
        if (isNameChar(c)) {
            const std::size_t start = pos;
            while (pos < text.size() && isNameChar(text[pos])) ++pos;
            if (depth == 0 && isLower(c)) {
                const std::string_view word = text.substr(start, pos - start);
                const std::uint32_t hash = nameHash(word);
                prefetchSlot(index, hash);
                r.hashed[r.pushed++ % r.hashed.size()] = {word.data(), word.size(), hash};
                r.taken = std::max(r.taken,
                                   r.pushed - std::min<std::uint64_t>(r.pushed, r.hashed.size()));
                // The place fetched Lag words before has arrived by now: the
                // name it holds is fetched in turn.
                if (r.pushed > Lag) {
                    const HASHED& earlier = r.hashed[(r.pushed - 1 - Lag) % r.hashed.size()];
                    if (const char* name = firstSlot(index, earlier.hash).text)
                        __builtin_prefetch(name - sizeof(std::uint32_t));
                }
            }
            continue;
        }
        if (c == '(') ++depth;
        else if (c == ')' && depth > 0) --depth;
        else if (c == '\n') depth = 0;
        ++pos;
    }
    r.ahead = pos;
    r.aheadDepth = depth;
}

RULE readRule(READER& r) {
    lookAhead(r);
    RULE rule;
    rule.line = peek(r).line;
    rule.choice = peek(r).kind == TOK::LBRACE;
    rule.head = readHead(r);
    if (peek(r).kind == TOK::DOT) next(r);
    else rule.body = readBody(r);
    return rule;
}

void readRoxProgram(READER& r) {
    while (peek(r).kind != TOK::END) r.program.rules.push_back(readRule(r));
}

void readPexaProgram(READER& r) {
    expectWord(r, TOK::AT, "@SET", "expected \"@SET FUNCTION\" at the start of the file");
    expectWord(r, TOK::IDENT, "FUNCTION", "expected \"@SET FUNCTION\" at the start of the file");
    expectWord(r, TOK::AT, "@LP", "expected \"@LP({\" after \"@SET FUNCTION\"");
    expect(r, TOK::LPAREN, "expected \"@LP({\" after \"@SET FUNCTION\"");
    expect(r, TOK::LBRACE, "expected \"@LP({\" after \"@SET FUNCTION\"");
    while (peek(r).kind != TOK::RBRACE) {
        if (peek(r).kind == TOK::END) fail(r, "expected \"})\" at the end of the program");
        r.program.rules.push_back(readRule(r));
        if (peek(r).kind == TOK::COMMA) next(r);
        else if (peek(r).kind != TOK::RBRACE) fail(r, "expected \",\" or \"})\" after an item");
    }
    next(r);
    expect(r, TOK::RPAREN, "expected \")\" after \"}\"");
    if (peek(r).kind != TOK::END) failHere(r, "unexpected text after \"})\"");
}

// The lines of a text that begin with a comment, and the others: a rule
// takes a line or two, and a file vok writes for --one-run ends with a
// declaration line per rejection predicate.
std::pair<std::size_t, std::size_t> commentAndOtherLines(std::string_view text) {
    std::size_t comments = 0, others = 0;
    for (std::size_t at = 0; at < text.size();) {
        ++(text[at] == '%' ? comments : others);
        const std::size_t end = text.find('\n', at);
        if (end == std::string_view::npos) break;
        at = end + 1;
    }
    return {comments, others};
}

PROGRAM readProgram(std::string_view text, FORM form) {
    READER r;
    regrowIndex(r.names.index, 1024);  // room for the names of a small program
    r.lex.text = text;
    r.form = form;
    // Room for a rule a line, not to move the rules again and again while
    // they grow; given back only when much of it is left over, as that
    // moves them once more while both copies are held.
    const auto [comments, others] = commentAndOtherLines(text);
    r.program.rules.reserve(others);
    r.lex.declarations.reserve(comments);
    r.lex.texts = &r.program.store->texts;
    advance(r.lex);
    form == FORM::ROX ? readRoxProgram(r) : readPexaProgram(r);
    if (r.program.rules.capacity() - r.program.rules.size() > r.program.rules.size() / 4)
        r.program.rules.shrink_to_fit();
    r.program.declarations = std::move(r.lex.declarations);
    r.program.names = r.names.count;
    r.program.sourceBytes = text.size();
    return std::move(r.program);
}

}  // namespace vok::evaluation::reading

namespace vok::evaluation {

PROGRAM ReadRox(std::string_view text) { return reading::readProgram(text, reading::FORM::ROX); }

PROGRAM ReadPexa(std::string_view text) { return reading::readProgram(text, reading::FORM::PEXA); }

}  // namespace vok::evaluation
