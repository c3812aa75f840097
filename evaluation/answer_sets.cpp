#include "answer_sets.hpp"

#include <algorithm>
#include <vector>

#include "names.hpp"

namespace vok::evaluation {

namespace {

bool isIdentifierChar(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_' ||
           c == '\'';
}

class MODEL_READER {
public:
    explicit MODEL_READER(std::string_view line) : s_(line) {}

    std::string read() {
        std::vector<std::string> atoms;
        while (pos_ < s_.size()) {
            std::string atom;
            readAtom(atom);
            atoms.push_back(std::move(atom));
            if (pos_ < s_.size()) {
                if (s_[pos_] != ' ') fail("expected a blank between atoms");
                ++pos_;
            }
        }
        std::sort(atoms.begin(), atoms.end());
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

private:
    [[noreturn]] void fail(const char* what) {
        throw ANSWER_SET_ERROR(std::string("unexpected answer-set text from clingo (") + what +
                               " at column " + std::to_string(pos_ + 1) + ")");
    }

    char peek() const { return pos_ < s_.size() ? s_[pos_] : '\0'; }

    std::string_view identifier() {
        std::size_t start = pos_;
        while (pos_ < s_.size() && isIdentifierChar(s_[pos_])) ++pos_;
        return s_.substr(start, pos_ - start);
    }

    void readAtom(std::string& out) {
        if (peek() == '-') {
            out += '-';
            ++pos_;
        }
        std::string_view name = identifier();
        if (name.empty()) fail("expected an atom");
        out += decodePredicate(name);
        if (peek() == '(') readArguments(out);
    }

    void readArguments(std::string& out) {
        out += '(';
        ++pos_;
        if (peek() == ')') {  // clingo's empty tuple "()"
            out += ')';
            ++pos_;
            return;
        }
        for (;;) {
            readTerm(out);
            char c = peek();
            ++pos_;
            if (c == ')') break;
            if (c != ',') fail("expected \",\" or \")\"");
            out += ',';
        }
        out += ')';
    }

    void readTerm(std::string& out) {
        char c = peek();
        if (c == '"') {
            readString(out);
        } else if (c == '(') {
            readArguments(out);
        } else if (c == '-' || (c >= '0' && c <= '9')) {
            std::size_t start = pos_++;
            while (peek() >= '0' && peek() <= '9') ++pos_;
            if (pos_ == start + 1 && c == '-') fail("expected a digit");
            out += s_.substr(start, pos_ - start);
        } else if (c == '#') {
            ++pos_;
            out += '#';
            out += identifier();
        } else {
            std::string_view name = identifier();
            if (name.empty()) fail("expected a term");
            out += name;
            if (peek() == '(') readArguments(out);
        }
    }

    // clingo escapes "\", "\"" and line ends in strings; the file form
    // writes strings without escapes.
    void readString(std::string& out) {
        out += '"';
        ++pos_;
        for (;;) {
            if (pos_ >= s_.size()) fail("unterminated string");
            char c = s_[pos_++];
            if (c == '"') break;
            if (c == '\\') {
                if (pos_ >= s_.size()) fail("unterminated string");
                char e = s_[pos_++];
                out += e == 'n' ? '\n' : e;
            } else {
                out += c;
            }
        }
        out += '"';
    }

    std::string_view s_;
    std::size_t pos_ = 0;
};

}  // namespace

std::string formatAnswerSet(std::string_view clingoModel) {
    return MODEL_READER(clingoModel).read();
}

}  // namespace vok::evaluation
