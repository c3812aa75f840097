#include "evaluation/solve/answer_sets.hpp"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <iterator>
#include <vector>

#include "evaluation/clingo/names.hpp"
#include "evaluation/clingo/one_run.hpp"

namespace vok::evaluation {

namespace {

bool isIdentifierChar(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_' ||
           c == '\'';
}

// How deep argument lists may nest. The file forms have no nested terms, so
// only a garbled model comes near it; reading one deeper would exhaust the
// stack.
constexpr int MaxNesting = 1000;

// A model line of clingo's output and the position reached in it.
struct MODEL_LINE {
    std::string_view text;
    std::size_t pos = 0;
    int depth = 0;  // argument lists open at pos
    // The names of the predicates written as data, by id, or null.
    const std::vector<std::string>* dataNames = nullptr;
};

[[noreturn]] void fail(const MODEL_LINE& m, const char* what) {
    throw ANSWER_SET_ERROR(std::string("unexpected answer-set text from clingo (") + what +
                           " at column " + std::to_string(m.pos + 1) + ")");
}

char peek(const MODEL_LINE& m) { return m.pos < m.text.size() ? m.text[m.pos] : '\0'; }

std::string_view readIdentifier(MODEL_LINE& m) {
    std::size_t start = m.pos;
    while (m.pos < m.text.size() && isIdentifierChar(m.text[m.pos])) ++m.pos;
    return m.text.substr(start, m.pos - start);
}

// clingo escapes "\", "\"" and line ends in strings; the file form writes
// strings without escapes.
void readString(MODEL_LINE& m, std::string& out) {
    out += '"';
    ++m.pos;
    for (;;) {
        if (m.pos >= m.text.size()) fail(m, "unterminated string");
        char c = m.text[m.pos++];
        if (c == '"') break;
        if (c == '\\') {
            if (m.pos >= m.text.size()) fail(m, "unterminated string");
            char e = m.text[m.pos++];
            out += e == 'n' ? '\n' : e;
        } else {
            out += c;
        }
    }
    out += '"';
}

void readArguments(MODEL_LINE& m, std::string& out);

void readTerm(MODEL_LINE& m, std::string& out) {
    char c = peek(m);
    if (c == '"') {
        readString(m, out);
    } else if (c == '(') {
        readArguments(m, out);
    } else if (c == '-' && !(m.pos + 1 < m.text.size() && m.text[m.pos + 1] >= '0' &&
                             m.text[m.pos + 1] <= '9')) {
        // A negated name or function term: -a, -f(b).
        ++m.pos;
        out += '-';
        const char next = peek(m);
        if (next == '-' || next == '"' || next == '(' || (next >= '0' && next <= '9'))
            fail(m, "expected a name after \"-\"");
        readTerm(m, out);
    } else if (c == '-' || (c >= '0' && c <= '9')) {
        std::size_t start = m.pos++;
        while (peek(m) >= '0' && peek(m) <= '9') ++m.pos;
        if (m.pos == start + 1 && c == '-') fail(m, "expected a digit");
        out += m.text.substr(start, m.pos - start);
    } else if (c == '#') {
        ++m.pos;
        out += '#';
        out += readIdentifier(m);
    } else {
        std::string_view name = readIdentifier(m);
        if (name.empty()) fail(m, "expected a term");
        out += name;
        if (peek(m) == '(') readArguments(m, out);
    }
}

void readArguments(MODEL_LINE& m, std::string& out) {
    if (++m.depth > MaxNesting) fail(m, "terms nested too deeply");
    out += '(';
    ++m.pos;
    if (peek(m) == ')') {  // clingo's empty tuple "()"
        out += ')';
        ++m.pos;
        --m.depth;
        return;
    }
    for (;;) {
        readTerm(m, out);
        char c = peek(m);
        ++m.pos;
        if (c == ')') break;
        if (c != ',') fail(m, "expected \",\" or \")\"");
        out += ',';
    }
    out += ')';
    --m.depth;
}

// The rest of g'F(id) or g'F(id,t1,...,tk): the name of id, then the terms
// as an argument list.
void readDataAtom(MODEL_LINE& m, std::string& out) {
    if (peek(m) != '(') fail(m, "expected \"(\" after a predicate written as data");
    ++m.pos;
    const std::size_t start = m.pos;
    std::size_t id = 0;
    while (peek(m) >= '0' && peek(m) <= '9' && m.pos - start < 10)
        id = id * 10 + static_cast<std::size_t>(m.text[m.pos++] - '0');
    if (m.pos == start || id >= m.dataNames->size())
        fail(m, "expected the number of a predicate written as data");
    out += (*m.dataNames)[id];
    const char c = peek(m);
    ++m.pos;
    if (c == ')') return;
    if (c != ',') fail(m, "expected \",\" or \")\"");
    if (peek(m) == ')') fail(m, "expected a term");
    // From the comma on, the rest reads as an argument list of its own.
    --m.pos;
    readArguments(m, out);
}

void readAtom(MODEL_LINE& m, std::string& out) {
    if (peek(m) == '-') {
        out += '-';
        ++m.pos;
    }
    std::string_view name = readIdentifier(m);
    if (name.empty()) fail(m, "expected an atom");
    if (m.dataNames && name.starts_with(DataPrefix)) {
        readDataAtom(m, out);
        return;
    }
    out += decodePredicate(name);
    if (peek(m) == '(') readArguments(m, out);
}

// The atoms of the line, separated by one blank each, in the file's
// notation: written one after another into text (an answer set may hold
// millions of atoms, which need no string each), and viewed there.
std::vector<std::string_view> readAtoms(MODEL_LINE& m, std::string& text) {
    std::vector<std::size_t> ends;
    text.reserve(m.text.size());
    while (m.pos < m.text.size()) {
        readAtom(m, text);
        ends.push_back(text.size());
        if (m.pos < m.text.size()) {
            if (m.text[m.pos] != ' ') fail(m, "expected a blank between atoms");
            ++m.pos;
        }
    }
    std::vector<std::string_view> atoms;
    atoms.reserve(ends.size());
    std::size_t start = 0;
    for (std::size_t end : ends) {
        atoms.emplace_back(text.data() + start, end - start);
        start = end;
    }
    return atoms;
}

// "{a, b, ...}".
std::string answerSetText(const std::vector<std::string_view>& atoms) {
    std::size_t size = 2;
    for (const auto& a : atoms) size += a.size() + 2;
    std::string out;
    out.reserve(size);
    out += '{';
    for (std::size_t i = 0; i < atoms.size(); ++i) {
        if (i) out += ", ";
        out += atoms[i];
    }
    out += '}';
    return out;
}

// The atoms of a model line, sorted.
std::vector<std::string> sortedAtoms(std::string_view model,
                                     const std::vector<std::string>* dataNames) {
    MODEL_LINE m{model, 0, 0, dataNames};
    std::string text;
    std::vector<std::string_view> views = readAtoms(m, text);
    std::sort(views.begin(), views.end());
    views.erase(std::unique(views.begin(), views.end()), views.end());
    return std::vector<std::string>(views.begin(), views.end());
}

// Folds one model into what the models before it made.
void foldModel(OUTPUT_READER& reader, std::string_view model) {
    if (reader.fold == FOLD::LAST) {
        reader.last.assign(model);
        return;
    }
    std::vector<std::string> atoms = sortedAtoms(model, reader.dataNames);
    if (reader.answerSets == 0) {
        reader.folded = std::move(atoms);
        return;
    }
    std::vector<std::string> both;
    if (reader.fold == FOLD::UNION)
        std::set_union(reader.folded.begin(), reader.folded.end(), atoms.begin(), atoms.end(),
                       std::back_inserter(both));
    else
        std::set_intersection(reader.folded.begin(), reader.folded.end(), atoms.begin(),
                              atoms.end(), std::back_inserter(both));
    reader.folded = std::move(both);
}

// Keeps a line of clingo's summary; a time limit it reached shows there as
// "TIME LIMIT   : 1", a flag (the limit itself is the option's).
void takeSummaryLine(OUTPUT_READER& reader, std::string_view text) {
    reader.summary.append(text);
    reader.summary += '\n';
    if (text.starts_with("TIME LIMIT")) reader.timeLimitReached = true;
}

bool isResultLine(std::string_view text) {
    return text == "SATISFIABLE" || text == "UNSATISFIABLE" || text == "UNKNOWN" ||
           text == "OPTIMUM FOUND";
}

// Hands one line of output to emit when it is a model, in the file's
// notation; false when it could not be read or written.
bool takeLine(OUTPUT_READER& reader, std::string_view text,
              const std::function<bool(std::string_view)>& emit) {
    // Only a closing line that nothing follows but clingo's result line and
    // summary counts.
    if (!reader.afterResult && !(reader.closed && isResultLine(text)))
        reader.closed = !reader.expectModel && text == OneRunClosingLine;
    if (reader.expectModel && reader.fold != FOLD::NONE) {
        reader.expectModel = false;
        try {
            foldModel(reader, text);
        } catch (const ANSWER_SET_ERROR& e) {
            reader.error = e.what();
            return false;
        }
        ++reader.answerSets;
    } else if (reader.expectModel) {
        reader.expectModel = false;
        std::string out;
        try {
            out = formatAnswerSet(text, reader.dataNames);
        } catch (const ANSWER_SET_ERROR& e) {
            reader.error = e.what();
            return false;
        }
        out += '\n';
        if (!emit(out)) {
            reader.outputClosed = errno == EPIPE;
            reader.error =
                "the answer sets could not be written: " + std::string(std::strerror(errno));
            return false;
        }
        ++reader.answerSets;
    } else if (text.starts_with("Answer: ")) {
        reader.expectModel = true;
    } else if (text == OneRunInterruptedLine) {
        reader.interrupted = true;
    } else if (reader.afterResult) {
        takeSummaryLine(reader, text);
    } else {
        reader.afterResult = isResultLine(text);
    }
    return true;
}

}  // namespace

std::string formatAnswerSet(std::string_view clingoModel,
                            const std::vector<std::string>* dataNames) {
    MODEL_LINE m{clingoModel, 0, 0, dataNames};
    std::string text;
    std::vector<std::string_view> atoms = readAtoms(m, text);
    std::sort(atoms.begin(), atoms.end());
    return answerSetText(atoms);
}

std::string FoldedAnswerSet(const OUTPUT_READER& reader) {
    if (reader.fold == FOLD::LAST) {
        if (reader.settled.empty()) return formatAnswerSet(reader.last, reader.dataNames) + "\n";
        std::string both = reader.last;
        if (!both.empty()) both += ' ';
        both += reader.settled;
        return formatAnswerSet(both, reader.dataNames) + "\n";
    }
    std::vector<std::string_view> atoms(reader.folded.begin(), reader.folded.end());
    return answerSetText(atoms) + "\n";
}

bool feedOutput(OUTPUT_READER& reader, const char* data, std::size_t size,
                const std::function<bool(std::string_view)>& emit) {
    std::string& buffer = reader.buffer;
    buffer.append(data, size);
    std::size_t start = 0;
    for (;;) {
        std::size_t end = buffer.find('\n', reader.scan);
        if (end == std::string::npos) break;
        if (!takeLine(reader, std::string_view(buffer).substr(start, end - start), emit))
            return false;
        start = reader.scan = end + 1;
    }
    buffer.erase(0, start);
    reader.scan = buffer.size();
    return true;
}

}  // namespace vok::evaluation
