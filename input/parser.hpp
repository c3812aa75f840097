// The input language: scanner (scanner.l) and parser (grammar.y).
//
// yyparse reads one input into the global tables: it opens an update
// program per input without braces and per brace-enclosed block, appends
// safe rules to UpdateIDs[CurrentUID] and safe constraints to Constraints,
// and registers constants and predicates.
#pragma once

#include <cstdio>
#include <string>
#include <vector>

#include "input/directives.hpp"
#include "representation/rule.hpp"

extern unsigned parser_line;     // current line of the input being read
extern int parser_errors;        // counted errors so far
extern const char* parser_file;  // name of the input; empty for standard input
extern int CurrentUID;           // index in UpdateIDs of the program being read

extern FILE* yyin;

// Points the scanner at a new stream, discarding buffered text.
void yyrestart(FILE* input);

// The scanner: the next token code (token codes in input/grammar.hpp),
// 0 at the end of the stream.
int yylex();

// 0: the whole input was read; 1: stopped at a syntax error; 2: stack
// overflow. The directives read are added to directives, whose constants
// stand for their names in the terms of the input.
int yyparse(INPUT_DIRECTIVES& directives);

// One diagnostic line on standard error: [WhoAmI " ("] [file ": "] "line " n
// [")"] ": " message "." — not counted; callers count.
void yyerror(const char* message);

// A diagnostic as yyerror writes it, in parts: its input, its line, and the
// rest of the line after "line N: " (", column C: " becomes "column C: "),
// the final "." included.
struct DIAGNOSTIC {
    std::string input;
    unsigned line = 0;
    std::string message;
};

// While notes is not null, every diagnostic written is also appended to it
// (a session reports a dropped block's diagnostics in its JSON line).
void NoteDiagnostics(std::vector<DIAGNOSTIC>* notes);

// Opens a new update program named vok and returns its index, which
// becomes CurrentUID.
int newUpdateID();

// Stores a safe single-head rule in the current update program; an unsafe
// or disjunctive rule is a counted error. Ends the statement.
void newRule(RULE rule);

// Stores a safe body as a constraint; an unsafe one is a counted error.
// Ends the statement.
void newConstraint(BODY body);
