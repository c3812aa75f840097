// The sequence the tests' inputs are read into and the parser that reads
// them, as before the first input: no errors counted, line 1 of an unnamed
// input, the first program being read, no block taken.
#pragma once

#include <optional>

#include "input/parser.hpp"

// The directives the tests' inputs share, as a run's inputs do.
inline INPUT_DIRECTIVES& TestDirectives() {
    static INPUT_DIRECTIVES directives;
    return directives;
}

inline SEQUENCE& TestSequence() {
    static SEQUENCE sequence;
    return sequence;
}

namespace test_parser {
inline std::optional<PARSER>& slot() {
    static std::optional<PARSER> parser;
    return parser;
}
}  // namespace test_parser

inline PARSER& TestParser() {
    std::optional<PARSER>& parser = test_parser::slot();
    if (!parser) parser.emplace(TestSequence());
    return *parser;
}

inline void resetParserState() {
    TestDirectives() = INPUT_DIRECTIVES();
    TestSequence() = SEQUENCE();
    test_parser::slot().emplace(TestSequence());
}
