// What the fuzz targets of vok's own code share: fresh global tables per
// input, silenced standard streams (fuzz_support.cpp), the options an
// input's first byte selects, and the guard that keeps inputs away
// from the one designed stop of the parser (a predicate seen with two
// arities ends the process with status 1, which libFuzzer would count as a
// crash).
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <iostream>
#include <map>
#include <streambuf>
#include <string>
#include <vector>

#include "base/options.hpp"
#include "input/actions.hpp"
#include "input/grammar.hpp"
#include "input/parser.hpp"
#include "rewriting/auxiliary.hpp"
#include "tests/support/input/parser_state.hpp"
#include "tests/support/rewriting/fresh_run.hpp"

namespace fuzz {

// Swallows everything: diagnostics and answer sets are not what is tested,
// and writing them would slow every execution down.
class NullBuffer : public std::streambuf {
protected:
    int_type overflow(int_type c) override { return traits_type::not_eof(c); }
    std::streamsize xsputn(const char*, std::streamsize n) override { return n; }
};

inline void silenceStreams() {
    static NullBuffer sink;
    std::cout.rdbuf(&sink);
    std::cerr.rdbuf(&sink);
}

// Every table and list a run fills, emptied, the parse settings of the run;
// builtins registered for program type program.
inline void freshRun(PROGRAM_TYPE program) {
    ::freshRun(program);
    TestParseSettings() = PARSE_SETTINGS{.programType = program};
    resetParserState();
}

// The first byte of an input selects the options of its run, the rest is
// what the target reads. The byte's lowest two bits give the program type:
// 1 pexa, 2 another type (for a target that takes one, rox otherwise), 0
// and 3 rox; the other bits are the target's own. Starts a fresh run of
// that type, moves data past the byte and returns it.
inline std::uint8_t beginRun(const std::uint8_t*& data, std::size_t& size, bool otherTypes) {
    const std::uint8_t mode = data[0];
    const PROGRAM_TYPE type = (mode & 3) == 1                 ? PROGRAM_TYPE::PEXA
                              : (mode & 3) == 2 && otherTypes ? PROGRAM_TYPE::OTHER
                                                              : PROGRAM_TYPE::ROX;
    fuzz::freshRun(type);
    ++data;
    --size;
    return mode;
}

// A stream over exactly the given bytes, NUL bytes included.
inline FILE* streamOf(const std::uint8_t* data, std::size_t size) {
    FILE* f = std::tmpfile();
    if (f && size) std::fwrite(data, 1, size, f);
    if (f) std::rewind(f);
    return f;
}

// Whether parsing the stream could meet a predicate under two arities. With
// complementsAlike, p and -p count as one predicate: the rewriting gives a
// predicate's complement the predicate's arity and ends the run (status 99,
// or 1) when the input gave it another one. The
// real scanner splits the text; every name outside parentheses counts as a
// predicate (a name followed by "(" with the number of its terms, any other
// with arity 0; strong negation gives the name "-" + name). That also counts
// constants of infix builtins and names after a syntax error, so it refuses
// a little more than the parser would stop on, never less.
inline bool mayMeetArityConflict(FILE* in, bool complementsAlike) {
    struct TOKEN {
        int code;
        std::string text;
    };
    std::vector<TOKEN> tokens;
    TestParser().line = 1;
    yyin = in;
    yyrestart(in);
    for (int code; (code = yylex(TestParser())) != 0;) {
        TOKEN t{code, {}};
        if (code == TOK_IDENTIFIER || code == TOK_NUMBER || code == TOK_INF_SUP) {
            t.text = TestParser().values.texts.take(yylval.text);
        }
        tokens.push_back(std::move(t));
    }
    std::rewind(in);

    std::map<std::string, std::size_t> arities;
    int depth = 0;
    for (std::size_t i = 0; i < tokens.size(); ++i) {
        const int code = tokens[i].code;
        if (code == TOK_LPAREN) ++depth;
        if (code == TOK_RPAREN && depth > 0) --depth;
        if (depth > 0 || (code != TOK_IDENTIFIER && code != TOK_V)) continue;
        std::string name = code == TOK_V ? "v" : tokens[i].text.substr(0, 31);
        if (i > 0 && tokens[i - 1].code == TOK_STRONG_NEGATION && !complementsAlike)
            name = "-" + name;
        // The arity of each alternative of the argument list (a pool
        // p(a; b, c) has two, of arities 1 and 2): the commas of the list
        // itself, not of the function terms inside it, so q(f(a), b) has two
        // arguments.
        std::vector<std::size_t> alternatives{0};
        if (i + 1 < tokens.size() && tokens[i + 1].code == TOK_LPAREN) {
            alternatives.back() = 1;
            int nested = 0;
            for (std::size_t j = i + 2; j < tokens.size(); ++j) {
                const int c = tokens[j].code;
                if (c == TOK_LPAREN) ++nested;
                if (c == TOK_RPAREN && nested-- == 0) break;
                if (c == TOK_COMMA && nested == 0) ++alternatives.back();
                if (c == TOK_SEMICOLON && nested == 0) alternatives.push_back(1);
            }
        }
        for (const std::size_t arity : alternatives) {
            auto [it, fresh] = arities.emplace(name, arity);
            if (!fresh && it->second != arity) return true;
        }
    }
    return false;
}

// Parses the bytes as one input, the way the driver reads a file; returns
// what yyparse returned, or -1 (nothing parsed) when the input could end the
// process by design, in the parser or, with forRewriting, in the rewriting.
inline int parseInput(const std::uint8_t* data, std::size_t size, bool forRewriting) {
    FILE* in = streamOf(data, size);
    if (!in) return -1;
    const int errorsBefore = TestParser().errors;
    const bool refused = mayMeetArityConflict(in, forRewriting);
    TestParser().errors = errorsBefore;  // the guard's own scan counts nothing
    int result = -1;
    if (!refused) {
        TestParser().line = 1;
        yyin = in;
        yyrestart(in);
        INPUT_DIRECTIVES directives;
        result = yyparse(TestParser(), directives);
    }
    std::fclose(in);
    return result;
}

}  // namespace fuzz
