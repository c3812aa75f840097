// Readers of the two file forms vok writes for its evaluation programs.
//
// rox form: rules "h1 v h2 :- b1, not b2.", facts "p(a).", empty bodies
// "p :- .", constraints ":- a, not b.", strong negation "-p(a)", variables
// (upper-case initial in argument position), constants, integers, quoted
// strings, "%" comments and the prefix builtins ==, !=, <, >, <=, >=, #int,
// #succ, + and *.
//
// pexa form: "@SET FUNCTION", "@LP({", items separated by ",", "})"; each
// item is a propositional rule or constraint ending in "." with "~" as
// default negation.
#pragma once

#include <stdexcept>
#include <string>
#include <string_view>

#include "evaluation/program/syntax.hpp"

namespace vok::evaluation {

// A fault in the file text; what() is the bare message, line where it is.
struct SYNTAX_ERROR : std::runtime_error {
    int line;
    SYNTAX_ERROR(int at, const std::string& message) : std::runtime_error(message), line(at) {}
};

PROGRAM ReadRox(std::string_view text);
PROGRAM ReadPexa(std::string_view text);

}  // namespace vok::evaluation
