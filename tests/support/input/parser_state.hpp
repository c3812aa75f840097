// The parser's own globals as before the first input: no errors counted,
// line 1 of an unnamed input, the first program being read.
#pragma once

#include "input/parser.hpp"

inline void resetParserState() {
    parser_errors = 0;
    parser_line = 1;
    parser_file = "";
    CurrentUID = 0;
}
