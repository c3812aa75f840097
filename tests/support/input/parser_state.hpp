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

// What the test parser is asked; a new parser takes them.
inline PARSE_SETTINGS& TestParseSettings() {
    static PARSE_SETTINGS settings;
    return settings;
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
    if (!parser) parser.emplace(TestSequence(), TestParseSettings());
    return *parser;
}

// A new parser over the same sequence, asked settings.
inline PARSER& UseParseSettings(const PARSE_SETTINGS& settings) {
    TestParseSettings() = settings;
    return test_parser::slot().emplace(TestSequence(), settings);
}

inline void resetParserState() {
    TestDirectives() = INPUT_DIRECTIVES();
    TestSequence() = SEQUENCE();
    test_parser::slot().emplace(TestSequence(), TestParseSettings());
}
