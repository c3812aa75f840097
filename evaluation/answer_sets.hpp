// Answer sets as clingo prints them, back in the file's own notation.
#pragma once

#include <stdexcept>
#include <string>
#include <string_view>

namespace vok::evaluation {

struct ANSWER_SET_ERROR : std::runtime_error {
    using std::runtime_error::runtime_error;
};

// Turns one model line of clingo's text output ("-q u'P(a) s'x'20y(\"b\")")
// into an answer-set line without its line end ("{-q, P(a), \"x y\"(\"b\")}"):
// names decoded, strings unescaped, atoms sorted by their text (byte order)
// and separated by ", ". Throws ANSWER_SET_ERROR for a line that is not
// a list of atoms.
std::string formatAnswerSet(std::string_view clingoModel);

}  // namespace vok::evaluation
