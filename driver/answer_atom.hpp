// The atoms of an answer set as the evaluation program prints them, read
// once into their predicate name and argument texts.
//
// An answer set begins with "{" and ends at the first "}" outside a quoted
// string, possibly some lines later. Atoms are separated by blanks, ",",
// "{" and line ends; within an argument list the same characters separate
// the arguments. Quoted strings are kept exactly as printed, separators and
// all, and so is a nested argument list (with "," between its parts).
#pragma once

#include <string>
#include <string_view>
#include <vector>

struct ANSWER_ATOM {
    std::string name;               // the predicate name
    std::vector<std::string> args;  // the argument texts, in order
    bool listed = false;            // an argument list follows the name
    bool closed = false;            // and its ")" was read

    bool empty() const { return name.empty() && !listed; }
    void clear() {
        name.clear();
        args.clear();
        listed = closed = false;
    }
};

// The text form of an atom: the name, then for a listed atom "(", the
// arguments joined by "," without blanks, and ")" once it was read.
void appendAtomText(std::string& out, const ANSWER_ATOM& atom);
std::string atomText(const ANSWER_ATOM& atom);

// Whether text is exactly the text form of atom.
bool hasAtomText(const ANSWER_ATOM& atom, std::string_view text);

// The state of reading one answer set, carried from one line to the next.
struct ANSWER_READER {
    ANSWER_ATOM atom;        // the atom being read
    int depth = 0;           // open parentheses
    bool inString = false;   // inside a quoted string
    bool separated = false;  // a separator followed the last argument character
};

// What one character did: nothing to act upon, an atom completed (in
// reader.atom), or the end of the answer set (reader.atom holds its last
// atom, unless that is empty).
enum ANSWER_STEP { STEP_READ, STEP_ATOM, STEP_END };

ANSWER_STEP readAnswerChar(ANSWER_READER& reader, char c);

// Reads text (the whole or a piece of an answer set) and calls take with
// each atom completed in it; true when the answer set ends in text, whose
// rest is then not read. An atom still open at the end of text is kept in
// reader and continued by the next call.
template <class TAKE>
bool readAnswerAtoms(ANSWER_READER& reader, std::string_view text, TAKE&& take) {
    for (char c : text) {
        const ANSWER_STEP step = readAnswerChar(reader, c);
        if (step == STEP_READ) continue;
        if (!reader.atom.empty()) take(reader.atom);
        reader.atom.clear();
        if (step == STEP_END) return true;
    }
    return false;
}

// The atoms of one answer set printed whole ("{a, p(b,"c d")}"), or of one
// atom printed alone ("p(b)"; readAnswerAtom reads the first atom of text).
std::vector<ANSWER_ATOM> readAnswerSet(std::string_view text);
ANSWER_ATOM readAnswerAtom(std::string_view text);
