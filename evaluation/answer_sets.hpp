// Answer sets as clingo prints them, back in the file's own notation.
#pragma once

#include <stdexcept>
#include <string>
#include <string_view>

namespace vok::evaluation {

class AnswerSetFormatError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Turns one model line of clingo's text output ("-q u'P(a) s'x'20y(\"b\")")
// into an answer-set line without its line end ("{-q, P(a), \"x y\"(\"b\")}"):
// names decoded, strings unescaped, atoms sorted by their text (byte order)
// and separated by ", ". Throws AnswerSetFormatError for a line that is not
// a list of atoms.
std::string format_answer_set(std::string_view clingo_model);

}  // namespace vok::evaluation
