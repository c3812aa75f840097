#include "driver/output/goal_pattern.hpp"

#include <utility>

namespace {

bool isLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
bool isDigit(char c) { return c >= '0' && c <= '9'; }
bool isNameChar(char c) { return isLetter(c) || isDigit(c) || c == '_'; }
bool isUpper(char c) { return c >= 'A' && c <= 'Z'; }

// Thrown inside the reader only, caught by ParseGoal.
struct SYNTAX_ERROR {
    std::size_t at;  // position in the goal, from 0
    std::string reason;
};

// A recursive reader over the goal's text that builds the pattern.
struct GOAL_READER {
    std::string_view text;
    std::size_t pos = 0;
    GOAL_PATTERN& pattern;

    void skipBlanks() {
        while (pos < text.size() && (text[pos] == ' ' || text[pos] == '\t')) ++pos;
    }
    bool at(char c) {
        skipBlanks();
        return pos < text.size() && text[pos] == c;
    }
    [[noreturn]] void unexpected() const {
        if (pos >= text.size()) throw SYNTAX_ERROR{pos, "unexpected end of the goal"};
        throw SYNTAX_ERROR{pos, std::string("unexpected '") + text[pos] + "'"};
    }
    // Letters, digits and "_" from pos on.
    std::string_view word() {
        const std::size_t begin = pos;
        while (pos < text.size() && isNameChar(text[pos])) ++pos;
        return text.substr(begin, pos - begin);
    }
    std::string_view quoted() {
        const std::size_t close = text.find('"', pos + 1);
        if (close == std::string_view::npos)
            throw SYNTAX_ERROR{pos, "a quoted string without its closing quote"};
        const std::string_view s = text.substr(pos, close + 1 - pos);
        pos = close + 1;
        return s;
    }
    // A name: letters, digits and "_" after a letter, or a quoted string.
    std::string_view name() {
        skipBlanks();
        if (pos < text.size() && text[pos] == '"') return quoted();
        if (pos >= text.size() || !isLetter(text[pos])) unexpected();
        return word();
    }

    GOAL_TERM variable(std::string_view name) {
        GOAL_TERM t;
        if (name == "_") {
            t.kind = GOAL_TERM::ANONYMOUS;
            pattern.anonymous = true;
            return t;
        }
        t.kind = GOAL_TERM::VARIABLE;
        std::vector<std::string>& vars = pattern.variables;
        std::size_t n = 0;
        while (n < vars.size() && vars[n] != name) ++n;
        if (n == vars.size()) vars.emplace_back(name);
        t.variable = n;
        return t;
    }

    // The terms of an argument list after its "(", up to and with its ")".
    std::vector<GOAL_TERM> arguments(std::size_t open) {
        std::vector<GOAL_TERM> args;
        for (;;) {
            args.push_back(term(open));
            skipBlanks();
            if (pos >= text.size()) throw SYNTAX_ERROR{open, "unbalanced parenthesis"};
            if (text[pos] == ')') break;
            if (text[pos] != ',') unexpected();
            ++pos;
        }
        ++pos;
        return args;
    }

    GOAL_TERM term(std::size_t open) {
        skipBlanks();
        if (pos >= text.size()) throw SYNTAX_ERROR{open, "unbalanced parenthesis"};
        const char c = text[pos];
        if (c == '"') return GOAL_TERM{GOAL_TERM::GROUND, std::string(quoted()), 0, {}};
        // An integer, negative ones written "-3" as answer sets write them.
        const bool negative = c == '-' && pos + 1 < text.size() && isDigit(text[pos + 1]);
        if (isDigit(c) || negative) {
            const std::size_t begin = pos;
            if (negative) ++pos;
            while (pos < text.size() && isDigit(text[pos])) ++pos;
            if (pos < text.size() && isNameChar(text[pos])) unexpected();
            return GOAL_TERM{
                GOAL_TERM::GROUND, std::string(text.substr(begin, pos - begin)), 0, {}};
        }
        // #inf and #sup, as answer sets write them.
        for (const std::string_view bound : {"#inf", "#sup"})
            if (text.substr(pos).starts_with(bound) &&
                (pos + bound.size() == text.size() || !isNameChar(text[pos + bound.size()]))) {
                pos += bound.size();
                return GOAL_TERM{GOAL_TERM::GROUND, std::string(bound), 0, {}};
            }
        if (!isLetter(c) && c != '_') unexpected();
        const std::size_t begin = pos;
        const std::string_view w = word();
        if (isUpper(c) || c == '_') {
            if (at('(')) throw SYNTAX_ERROR{begin, "a variable takes no arguments"};
            return variable(w);
        }
        if (!at('(')) return GOAL_TERM{GOAL_TERM::GROUND, std::string(w), 0, {}};
        const std::size_t inner = pos++;
        if (at(')')) throw SYNTAX_ERROR{pos, "an empty argument list"};
        GOAL_TERM f{GOAL_TERM::FUNCTION, std::string(w), 0, arguments(inner)};
        return groundIfPossible(std::move(f));
    }

    // A function term without variables is compared as its text.
    static GOAL_TERM groundIfPossible(GOAL_TERM f) {
        std::string text = f.text + "(";
        for (std::size_t i = 0; i < f.args.size(); ++i) {
            if (f.args[i].kind != GOAL_TERM::GROUND) return f;
            text += (i ? "," : "") + f.args[i].text;
        }
        return GOAL_TERM{GOAL_TERM::GROUND, text + ")", 0, {}};
    }

    void goal() {
        skipBlanks();
        if (pos >= text.size()) throw SYNTAX_ERROR{pos, "the goal is empty"};
        if (text[pos] == '-') {
            ++pos;
            pattern.name = "-";
        }
        pattern.name += name();
        if (at('(')) {
            const std::size_t open = pos++;
            if (at(')')) throw SYNTAX_ERROR{pos, "an empty argument list"};
            pattern.listed = true;
            pattern.args = arguments(open);
        }
        skipBlanks();
        if (pos < text.size()) unexpected();
    }
};

// The text of a term as an answer set writes it.
void appendText(std::string& out, const GOAL_PATTERN& p, const GOAL_TERM& t) {
    switch (t.kind) {
        case GOAL_TERM::GROUND: out += t.text; return;
        case GOAL_TERM::VARIABLE: out += p.variables[t.variable]; return;
        case GOAL_TERM::ANONYMOUS: out += '_'; return;
        case GOAL_TERM::FUNCTION:
            out += t.text;
            out += '(';
            for (std::size_t i = 0; i < t.args.size(); ++i) {
                if (i) out += ',';
                appendText(out, p, t.args[i]);
            }
            out += ')';
            return;
    }
}

// The arguments of a function term written "f(a,g(b),\"c, d\")", split at
// the commas outside quoted strings and nested lists; false when text is
// no such term of the given name.
bool splitFunction(std::string_view text, std::string_view name,
                   std::vector<std::string_view>& args) {
    if (text.size() < name.size() + 2 || !text.starts_with(name) || text[name.size()] != '(' ||
        text.back() != ')')
        return false;
    const std::string_view inner = text.substr(name.size() + 1, text.size() - name.size() - 2);
    int depth = 0;
    bool quoted = false;
    std::size_t begin = 0;
    for (std::size_t i = 0; i < inner.size(); ++i) {
        const char c = inner[i];
        if (c == '"') quoted = !quoted;
        if (quoted) continue;
        if (c == '(') ++depth;
        if (c == ')') --depth;
        if (c == ',' && depth == 0) {
            args.push_back(inner.substr(begin, i - begin));
            begin = i + 1;
        }
    }
    args.push_back(inner.substr(begin));
    return true;
}

bool matchTerm(const GOAL_TERM& t, std::string_view value, GOAL_BINDINGS& bindings) {
    switch (t.kind) {
        case GOAL_TERM::GROUND: return value == t.text;
        case GOAL_TERM::ANONYMOUS: return true;
        case GOAL_TERM::VARIABLE: {
            std::string_view& bound = bindings[t.variable];
            if (bound.data() == nullptr) bound = value;
            return bound == value;
        }
        case GOAL_TERM::FUNCTION: {
            std::vector<std::string_view> args;
            if (!splitFunction(value, t.text, args) || args.size() != t.args.size()) return false;
            for (std::size_t i = 0; i < args.size(); ++i)
                if (!matchTerm(t.args[i], args[i], bindings)) return false;
            return true;
        }
    }
    return false;
}

}  // namespace

GOAL_PARSE ParseGoal(std::string_view goal) {
    GOAL_PARSE result;
    GOAL_PATTERN pattern;
    try {
        GOAL_READER{goal, 0, pattern}.goal();
    } catch (const SYNTAX_ERROR& e) {
        result.error = GOAL_SYNTAX_ERROR{e.at + 1, e.reason};
        return result;
    }
    pattern.text = pattern.name;
    if (pattern.listed) {
        pattern.text += '(';
        for (std::size_t i = 0; i < pattern.args.size(); ++i) {
            if (i) pattern.text += ',';
            appendText(pattern.text, pattern, pattern.args[i]);
        }
        pattern.text += ')';
    }
    result.pattern = std::move(pattern);
    return result;
}

bool MatchGoal(const GOAL_PATTERN& pattern, const ANSWER_ATOM& atom, GOAL_BINDINGS& bindings) {
    if (atom.name() != pattern.name || atom.listed != pattern.listed) return false;
    if (atom.listed && (!atom.closed || atom.argCount() != pattern.args.size())) return false;
    bindings.assign(pattern.variables.size(), std::string_view());
    for (std::size_t i = 0; i < pattern.args.size(); ++i)
        if (!matchTerm(pattern.args[i], atom.arg(i), bindings)) return false;
    return true;
}

bool MatchGoalText(const GOAL_PATTERN& pattern, std::string_view atom) {
    const std::size_t n = pattern.name.size();
    if (!atom.starts_with(pattern.name) || (atom.size() > n && atom[n] != '(')) return false;
    GOAL_BINDINGS bindings;
    return MatchGoal(pattern, readAnswerAtom(atom), bindings);
}

std::vector<std::string> BoundValues(const GOAL_PATTERN& pattern, std::string_view atom) {
    const ANSWER_ATOM read = readAnswerAtom(atom);
    GOAL_BINDINGS bindings;
    if (!MatchGoal(pattern, read, bindings)) return {};
    return std::vector<std::string>(bindings.begin(), bindings.end());
}
