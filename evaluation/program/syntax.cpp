#include "evaluation/program/syntax.hpp"

#include <algorithm>
#include <charconv>

namespace vok::evaluation {

int builtinArity(BUILTIN b) {
    return static_cast<int>(BuiltinSignatures[static_cast<std::size_t>(b)].arity);
}

const char* builtinName(BUILTIN b) { return BuiltinSignatures[static_cast<std::size_t>(b)].name; }

bool isArithmetic(BUILTIN b) {
    return b == BUILTIN::INT || b == BUILTIN::SUCC || b == BUILTIN::PLUS || b == BUILTIN::TIMES;
}

bool isGround(TERMS args) {
    return std::none_of(args.begin(), args.end(), [](const TERM& t) {
        return t.kind == TERM::KIND::VARIABLE ||
               (t.kind == TERM::KIND::COMPOUND && (t.value & COMPOUND_VARIABLES));
    });
}

bool isPlainGround(TERMS args) {
    return std::none_of(args.begin(), args.end(), [](const TERM& t) {
        return t.kind == TERM::KIND::VARIABLE || (t.kind == TERM::KIND::COMPOUND && t.value != 0);
    });
}

bool isGroundWithBody(const RULE& rule) {
    if (rule.body.empty()) return false;
    for (const ATOM& a : rule.head)
        if (!isPlainGround(a.args)) return false;
    for (const LITERAL& l : rule.body)
        if (l.isBuiltin || l.doubled || !isPlainGround(l.atom.args)) return false;
    return true;
}

bool hasChoiceOrAggregate(const RULE& rule) {
    return rule.choice || std::any_of(rule.body.begin(), rule.body.end(),
                                      [](const LITERAL& l) { return l.isAggregate; });
}

void appendNumber(std::string& out, std::int64_t n) {
    char digits[24];
    const auto end = std::to_chars(digits, digits + sizeof digits, n).ptr;
    out.append(digits, end);
}

void appendTerm(std::string& out, const TERM& term) {
    switch (term.kind) {
        case TERM::KIND::VARIABLE:
        case TERM::KIND::CONSTANT:
        case TERM::KIND::COMPOUND: out += term.text; return;
        case TERM::KIND::INTEGER: appendNumber(out, term.value); return;
        case TERM::KIND::STRING:
            // The file's strings have no escapes; clingo's treat "\" as one and
            // have no raw line ends.
            out += '"';
            for (char c : term.text) {
                if (c == '\n') {
                    out += "\\n";
                    continue;
                }
                if (c == '\\') out += '\\';
                out += c;
            }
            out += '"';
            return;
    }
}

namespace {

constexpr std::size_t FirstBlock = std::size_t(16) << 10;

}  // namespace

std::size_t nextBlockBytes(std::size_t bytes) {
    return bytes == 0 ? FirstBlock : std::min(2 * bytes, HugePage);
}

}  // namespace vok::evaluation
