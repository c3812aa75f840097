// The atoms of an answer set as the evaluation program prints them, read
// once into their text, predicate name and argument texts.
//
// An answer set begins with "{" and ends at the first "}" outside a quoted
// string, possibly some lines later. Atoms are separated by blanks, ",",
// "{" and line ends; within an argument list the same characters separate
// the arguments. Quoted strings are kept exactly as printed, separators and
// all, and so is a nested argument list (with "," between its parts).
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

// One atom. Its text is the form the filter prints: the name, then for a
// listed atom "(", the arguments joined by "," without blanks, and ")"
// once that was read. The name and the arguments are parts of the text.
struct ANSWER_ATOM {
    std::string text;
    std::size_t nameLength = 0;          // of a listed atom; otherwise all of text
    std::vector<std::size_t> argStarts;  // counted from the character after "("
    bool listed = false;                 // an argument list follows the name
    bool closed = false;                 // and its ")" was read

    bool empty() const { return text.empty(); }
    void clear() {
        text.clear();
        argStarts.clear();
        nameLength = 0;
        listed = closed = false;
    }

    std::string_view name() const {
        return listed ? std::string_view(text).substr(0, nameLength) : std::string_view(text);
    }
    std::size_t argCount() const { return argStarts.size(); }
    std::string_view arg(std::size_t i) const;

    // Replaces the first n characters of the name by name.
    void renameStart(std::size_t n, std::string_view name);
};

// The state of reading one answer set, carried from one line to the next.
struct ANSWER_READER {
    ANSWER_ATOM atom;        // the atom being read
    int depth = 0;           // open parentheses
    bool inString = false;   // inside a quoted string
    bool separated = false;  // a separator followed the last argument character
};

// Where reading stopped: at the end of the text, after an atom (in
// reader.atom), or at the end of the answer set (reader.atom holds its
// last atom, unless that is empty).
enum ANSWER_STEP { STEP_READ, STEP_ATOM, STEP_END };

// Reads text from pos on until one of those; pos moves past what was read.
ANSWER_STEP readAnswerText(ANSWER_READER& reader, std::string_view text, std::size_t& pos);

// Reads text (the whole or a piece of an answer set) and calls take with
// each atom completed in it; true when the answer set ends in text, whose
// rest is then not read. An atom still open at the end of text is kept in
// reader and continued by the next call.
template <class TAKE>
bool readAnswerAtoms(ANSWER_READER& reader, std::string_view text, TAKE&& take) {
    for (std::size_t pos = 0;;) {
        const ANSWER_STEP step = readAnswerText(reader, text, pos);
        if (step == STEP_READ) return false;
        if (!reader.atom.empty()) take(reader.atom);
        reader.atom.clear();
        if (step == STEP_END) return true;
    }
}

// The atoms of one answer set printed whole ("{a, p(b,"c d")}"), or of one
// atom printed alone ("p(b)"; readAnswerAtom reads the first atom of text).
std::vector<ANSWER_ATOM> readAnswerSet(std::string_view text);
ANSWER_ATOM readAnswerAtom(std::string_view text);
