// Shared helpers of the scanner and parser tests: fresh global tables for
// every test, streams over literal texts, and the parsed program as text.
#pragma once

#include <gtest/gtest.h>

#include <cstdio>
#include <sstream>
#include <string>
#include <vector>

#include "base/options.hpp"
#include "input/actions.hpp"
#include "input/parser.hpp"
#include "tests/support/capture.hpp"
#include "tests/support/input/parser_state.hpp"
#include "tests/support/tables.hpp"

using Texts = std::vector<std::string>;

// Empties every table the parser fills and resets its globals and the
// options; builtins are registered for rox programs.
inline void resetParser(PROGRAM_TYPE program = PROGRAM_TYPE::ROX) {
    resetProgramTables(program);
    TestParseSettings() = PARSE_SETTINGS{.programType = program};
    resetParserState();
}

// A stream that reads exactly the bytes of text, NUL bytes included.
inline FILE* streamOf(const std::string& text) {
    FILE* f = std::tmpfile();
    std::fwrite(text.data(), 1, text.size(), f);
    std::rewind(f);
    return f;
}

// Parses text as one input, the way the driver does; returns yyparse's
// result.
inline int parse(const std::string& text) {
    FILE* f = streamOf(text);
    TestParser().line = 1;
    yyin = f;
    yyrestart(f);
    int result = yyparse(TestParser(), TestDirectives());
    std::fclose(f);
    return result;
}

// Rules or constraints in their text form, in the test parser's notation.
template <class T>
Texts texts(const std::vector<T>& items) {
    Texts result;
    for (const T& item : items) {
        std::ostringstream out;
        PrintList(out, &item, &item + 1, "", NotationOf(TestParseSettings().programType));
        result.push_back(out.str());
    }
    return result;
}

inline Texts rulesOf(std::size_t p) { return texts(*TestSequence().programs.at(p).rules); }

// Every value the grammar made has been consumed or freed: what a syntax
// error left on the parse stack included.
inline bool noValueLeft() {
    const auto freed = [](const auto& values) {
        return values.unused.size() == values.slots.size();
    };
    const PARSE_VALUES& v = TestParser().values;
    return freed(v.texts) && freed(v.terms) && freed(v.atoms) && freed(v.literals) &&
           freed(v.bodies) && freed(v.rules);
}

class InputTest : public ::testing::Test {
protected:
    void SetUp() override { resetParser(); }
    // The programs read go with the test: an atom of more than three terms
    // keeps its list's address where the leak checker does not look for
    // pointers, so one left alive at the end of the process reads as leaked.
    void TearDown() override { resetParser(); }
};
