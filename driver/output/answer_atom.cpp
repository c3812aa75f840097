#include "answer_atom.hpp"

#include <array>

namespace {

// Characters that separate atoms, and arguments within an argument list.
constexpr bool isSeparator(char c) {
    return c == ' ' || c == ',' || c == '{' || c == '\t' || c == '\v' || c == '\r' || c == '\n';
}

// A character of the argument list (depth > 0) outside quoted strings;
// true when it closes the list, and so the atom.
bool readArgumentChar(ANSWER_READER& r, char c) {
    ANSWER_ATOM& a = r.atom;
    if (isSeparator(c)) {
        r.separated = true;
        return false;
    }
    const bool separated = r.separated;
    r.separated = false;
    if (c == ')') {
        a.text += c;
        if (--r.depth > 0) return false;
        a.closed = true;
        return true;
    }
    // At the top of the list a separator begins the next argument; in a
    // nested list it is kept as one "," (but not right after a "(").
    if (r.depth == 1 && (a.argStarts.empty() || separated)) {
        if (!a.argStarts.empty()) a.text += ',';
        a.argStarts.push_back(a.text.size() - a.nameLength - 1);
    } else if (separated && a.text.back() != '(') {
        a.text += ',';
    }
    a.text += c;
    if (c == '(') ++r.depth;
    if (c == '"') r.inString = true;
    return false;
}

// The characters that end a run of plain text: separators, parentheses,
// quotes and the closing brace. A table, since every character of the
// evaluation program's output is looked up.
constexpr std::array<bool, 256> RunEnds = [] {
    std::array<bool, 256> ends{};
    for (int c = 0; c < 256; ++c) {
        const char ch = static_cast<char>(c);
        ends[c] = isSeparator(ch) || ch == '(' || ch == ')' || ch == '"' || ch == '}';
    }
    return ends;
}();

bool endsRun(char c) { return RunEnds[static_cast<unsigned char>(c)]; }

// The position of the first character at or after pos that ends a run.
std::size_t endOfRun(std::string_view text, std::size_t pos) {
    while (pos < text.size() && !endsRun(text[pos])) ++pos;
    return pos;
}

}  // namespace

std::string_view ANSWER_ATOM::arg(std::size_t i) const {
    const std::size_t list = nameLength + 1;
    const std::size_t begin = list + argStarts[i];
    // Arguments are joined by one ",".
    const std::size_t end =
        i + 1 < argStarts.size() ? list + argStarts[i + 1] - 1 : text.size() - (closed ? 1 : 0);
    return std::string_view(text).substr(begin, end - begin);
}

void ANSWER_ATOM::renameStart(std::size_t n, std::string_view name) {
    text.replace(0, n, name);
    if (listed) nameLength = nameLength - n + name.size();
}

ANSWER_STEP readAnswerText(ANSWER_READER& r, std::string_view text, std::size_t& pos) {
    ANSWER_ATOM& a = r.atom;
    while (pos < text.size()) {
        if (r.inString) {
            // Up to the closing quote, or all that is left of the text.
            const std::size_t quote = text.find('"', pos);
            const std::size_t end = quote == std::string_view::npos ? text.size() : quote + 1;
            a.text.append(text.substr(pos, end - pos));
            r.inString = quote == std::string_view::npos;
            pos = end;
            continue;
        }
        const char c = text[pos++];
        if (c == '}') {
            r.depth = 0;
            r.separated = false;
            return STEP_END;
        }
        if (r.depth > 0) {
            if (readArgumentChar(r, c)) return STEP_ATOM;
        } else if (isSeparator(c)) {
            if (!a.empty()) return STEP_ATOM;
        } else {
            a.text += c;
            if (c == '(') {
                a.listed = true;
                a.nameLength = a.text.size() - 1;
                r.depth = 1;
            }
            if (c == '"') r.inString = true;
        }
        // The plain characters after a plain one follow it as they are.
        if (endsRun(c)) continue;
        const std::size_t end = endOfRun(text, pos);
        a.text.append(text.substr(pos, end - pos));
        pos = end;
    }
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
