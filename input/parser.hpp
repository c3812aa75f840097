// The input language: scanner (scanner.l) and parser (grammar.y).
//
// A PARSER reads inputs into the SEQUENCE it is given: it opens an update
// program per input without braces and per brace-enclosed block, appends
// safe rules to the program being read and safe constraints to the
// sequence's constraints, and registers constants and predicates in the
// process-wide name tables. Its diagnostics go to standard error as they
// are met, and it counts them. Everything a parse keeps between tokens and
// statements is a member, so that two parsers (over two sequences) can
// live in one process; only flex's buffer and bison's token value stay the
// generated code's own, since one input is read at a time.
#pragma once

#include <cstdio>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "input/actions.hpp"
#include "input/directives.hpp"
#include "representation/rule.hpp"
#include "representation/sequence.hpp"

// A diagnostic as yyerror writes it, in parts: its input, its line, and the
// rest of the line after "line N: " (", column C: " becomes "column C: "),
// the final "." included.
struct DIAGNOSTIC {
    std::string input;
    unsigned line = 0;
    std::string message;
};

// The sizes of everything a session's block adds to, so that a block can
// be given back (input/take_block.hpp).
struct TABLES_MARK {
    std::size_t programs = 0;
    std::size_t constraints = 0;
    std::size_t origins = 0;
    std::size_t inputs = 0;
    unsigned predicates = 0;
    unsigned constants = 0;
    bool propositional = true;
    int errors = 0;
};

// A block taken and not given back, with the heads known before it.
struct TAKEN_MARK {
    TABLES_MARK tables;
    std::vector<bool> heads;
};

class INCLUDES;

// What a parse is asked besides the inputs.
struct PARSE_SETTINGS {
    // pexa programs refuse what they have no form for (double negation,
    // aggregates, names beginning with NEG_, first-order blocks of a session).
    PROGRAM_TYPE programType = PROGRAM_TYPE::ROX;
    bool explain = false;  // --explain: where each rule came from is recorded
    // -v: diagnostics name the program (invocation) and put their place in
    // parentheses.
    bool verbose = false;
    const char* invocation = "vok";
};

struct PARSER {
    explicit PARSER(SEQUENCE& s, const PARSE_SETTINGS& asked = {}) : sequence(s), settings(asked) {}
    PARSER(const PARSER&) = delete;
    PARSER& operator=(const PARSER&) = delete;

    SEQUENCE& sequence;  // what the inputs are read into
    const PARSE_SETTINGS settings;
    unsigned line = 1;      // current line of the input being read
    int errors = 0;         // counted errors so far
    const char* file = "";  // name of the input; empty for standard input
    int program = 0;        // index in sequence.programs of the program being read
    // The column of the token read last, and where the next one begins
    // (counted from 1 on each line).
    unsigned column = 1;
    unsigned nextColumn = 1;
    PARSE_VALUES values;  // of the grammar's symbols
    // The variables of the statement being read, forgotten at its end.
    LOCAL_VARIABLES variables;
    // Set when the statement being read holds something that must not be
    // stored (a builtin without registered builtins); it is then dropped.
    bool dropStatement = false;
    // The line of the statement's first name (its head, for a rule), once
    // that name is read.
    std::optional<unsigned> statementLine;
    // A construct refused since the grammar last asked: the parse error
    // that follows it is not reported.
    bool refusalReported = false;
    // While not null, every diagnostic written is also appended here (a
    // session reports a dropped block's diagnostics in its JSON line).
    std::vector<DIAGNOSTIC>* notes = nullptr;
    // The predicates that head a rule of the programs taken so far, by
    // number, and the blocks of a session taken and not given back, oldest
    // first (input/take_block.hpp).
    std::vector<bool> headed;
    std::vector<TAKEN_MARK> taken;
    // The files a parse of a whole input is reading through #include
    // (input/includes.hpp); null where #include is refused (a session's
    // blocks, a text in memory).
    INCLUDES* includes = nullptr;
};

extern FILE* yyin;

// Points the scanner at a new stream, discarding buffered text.
void yyrestart(FILE* input);

// The scanner: the next token code (token codes in input/grammar.hpp),
// 0 at the end of the stream.
int yylex(PARSER& parser);

// 0: the whole input was read; 1: stopped at a syntax error; 2: stack
// overflow. The directives read are added to directives, whose constants
// stand for their names in the terms of the input.
int yyparse(PARSER& parser, INPUT_DIRECTIVES& directives);

// Reads one input from in, from its line 1, into the parser's sequence; a
// syntax error, which leaves the rest of the input unread, is counted like
// any other error, so that no rule is lost without the caller knowing.
// Returns what yyparse returns. A predicate met with another arity or kind
// than before ends the run (PREDICATE_CONFLICT, its last words naming where
// the conflicting use was read).
int ParseStream(PARSER& parser, FILE* in, INPUT_DIRECTIVES& directives);

// The same for an input held in memory (its name is the parser's file).
int ParseText(PARSER& parser, std::string_view text, INPUT_DIRECTIVES& directives);

// One diagnostic line on standard error: [invocation " ("] [file ": "] "line " n
// [")"] ": " message "." — not counted; callers count.
void yyerror(PARSER& parser, const char* message);

// The same, counted.
void CountedError(PARSER& parser, const std::string& message);

// Opens a new update program named vok and returns its index, which
// becomes the program being read.
int newUpdateID(PARSER& parser);

// Stores a safe single-head rule in the current update program; an unsafe
// or disjunctive rule is a counted error. Ends the statement.
void newRule(PARSER& parser, RULE rule);

// Stores a safe body as a constraint; an unsafe one is a counted error.
// Ends the statement.
void newConstraint(PARSER& parser, BODY body);
