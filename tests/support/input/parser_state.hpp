// The parser's own globals as before the first input: no errors counted,
// line 1 of an unnamed input, the first program being read.
#pragma once

#include "input/parser.hpp"

// The directives the tests' inputs share, as a run's inputs do.
inline INPUT_DIRECTIVES& TestDirectives() {
    static INPUT_DIRECTIVES directives;
    return directives;
}

inline void resetParserState() {
    TestDirectives() = INPUT_DIRECTIVES();
    parser_errors = 0;
    parser_line = 1;
    parser_file = "";
    CurrentUID = 0;
}
