#include "answer_atom.hpp"

namespace {

// Characters that separate atoms, and arguments within an argument list.
bool isSeparator(char c) {
    return c == ' ' || c == ',' || c == '{' || c == '\t' || c == '\v' || c == '\r' || c == '\n';
}

// Text of the atom's name or, once its argument list is open, of its last
// argument.
std::string& currentText(ANSWER_ATOM& atom) { return atom.listed ? atom.args.back() : atom.name; }

// A character of the argument list (depth > 0) outside quoted strings.
ANSWER_STEP readArgumentChar(ANSWER_READER& r, char c) {
    ANSWER_ATOM& a = r.atom;
    if (isSeparator(c)) {
        r.separated = true;
        return STEP_READ;
    }
    const bool separated = r.separated;
    r.separated = false;
    if (c == ')') {
        if (--r.depth > 0) {
            a.args.back() += c;
            return STEP_READ;
        }
        a.closed = true;
        return STEP_ATOM;
    }
    // At the top of the list a separator begins the next argument; in a
    // nested list it is kept as one "," (but not right after a "(").
    if (r.depth == 1 && (a.args.empty() || separated)) {
        a.args.emplace_back();
    } else if (separated && a.args.back().back() != '(') {
        a.args.back() += ',';
    }
    a.args.back() += c;
    if (c == '(') ++r.depth;
    if (c == '"') r.inString = true;
    return STEP_READ;
}

}  // namespace

void appendAtomText(std::string& out, const ANSWER_ATOM& atom) {
    out += atom.name;
    if (!atom.listed) return;
    out += '(';
    for (std::size_t i = 0; i < atom.args.size(); ++i) {
        if (i) out += ',';
        out += atom.args[i];
    }
    if (atom.closed) out += ')';
}

std::string atomText(const ANSWER_ATOM& atom) {
    std::string text;
    appendAtomText(text, atom);
    return text;
}

bool hasAtomText(const ANSWER_ATOM& atom, std::string_view text) {
    auto take = [&text](std::string_view part) {
        if (!text.starts_with(part)) return false;
        text.remove_prefix(part.size());
        return true;
    };
    if (!take(atom.name)) return false;
    if (atom.listed) {
        if (!take("(")) return false;
        for (std::size_t i = 0; i < atom.args.size(); ++i)
            if ((i && !take(",")) || !take(atom.args[i])) return false;
        if (atom.closed && !take(")")) return false;
    }
    return text.empty();
}

ANSWER_STEP readAnswerChar(ANSWER_READER& r, char c) {
    if (r.inString) {
        currentText(r.atom) += c;
        if (c == '"') r.inString = false;
        return STEP_READ;
    }
    if (c == '}') {
        r.depth = 0;
        r.separated = false;
        return STEP_END;
    }
    if (r.depth > 0) return readArgumentChar(r, c);
    if (isSeparator(c)) return r.atom.empty() ? STEP_READ : STEP_ATOM;
    if (c == '(') {
        r.atom.listed = true;
        r.depth = 1;
        return STEP_READ;
    }
    r.atom.name += c;
    if (c == '"') r.inString = true;
    return STEP_READ;
}

std::vector<ANSWER_ATOM> readAnswerSet(std::string_view text) {
    std::vector<ANSWER_ATOM> atoms;
    ANSWER_READER reader;
    auto keep = [&atoms](const ANSWER_ATOM& atom) { atoms.push_back(atom); };
    if (!readAnswerAtoms(reader, text, keep) && !reader.atom.empty()) keep(reader.atom);
    return atoms;
}

ANSWER_ATOM readAnswerAtom(std::string_view text) {
    std::vector<ANSWER_ATOM> atoms = readAnswerSet(text);
    return atoms.empty() ? ANSWER_ATOM() : atoms.front();
}
