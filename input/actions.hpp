// What the grammar's actions and the scanner build on: owned token texts,
// terms, builtin atoms, bodies under construction and the per-statement
// parser state. Only input/ includes this; the public face is parser.hpp.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "representation/rule.hpp"

// IDENT's two fields as a plain record, because members of the parser's
// value union must be trivial.
struct TERM_VALUE {
    int kind;
    int value;
};

inline TERM_VALUE termValue(IDENT term) { return {term.kind, term.value}; }
inline IDENT identOf(TERM_VALUE term) { return IDENT(term.kind, term.value); }

// A body being read. Positive and default-negated literals are collected
// apart and joined once, so that a body of n literals costs O(n) instead of
// the O(n^2) of inserting each positive literal in front of the negated
// ones.
struct BODY_PARTS {
    std::vector<LITERAL> positive;
    std::vector<LITERAL> negative;

    void add(LITERAL&& literal) {
        (literal.negated ? negative : positive).push_back(std::move(literal));
    }
    // Positives first, each group in textual order; empties the parts.
    BODY conjunction() { return BODY(std::move(positive), std::move(negative)); }
    // The rule of head and this body, with room for the literal that the
    // rewriting adds to each rule (see TRULE).
    RULE* rule(const HEAD& head) const { return new RULE(head.atoms, positive, negative, true, 1); }
};

// A rule without body, with room for the literal that the rewriting adds.
inline RULE* factOf(const HEAD& head) { return new RULE(head.atoms, {}, {}, false, 1); }

// A NUL-terminated heap copy (new[]) of length bytes of text.
char* copyText(const char* text, std::size_t length);

// The text of a name token, cut to 31 characters if longer (a counted
// error). Takes and returns ownership of the same buffer.
char* truncatedName(char* text);

// A number token of at most 9 digits as an integer term.
IDENT integerTerm(const char* digits);

// "_": a variable of its own, numbered after the statement's variables.
IDENT anonymousVariable();

// A builtin atom. Without registered builtins (program types other than
// rox) the builtin's number would name a user predicate, so that is a
// counted error and the statement is dropped.
ATOM* builtinAtom(BUILTIN builtin, const std::vector<IDENT>& args);

// pexa programs write strong negation as the prefix "NEG_", so there an
// input predicate with that prefix would be read back as a negated one: a
// counted error.
void checkPredicateName(const char* name);

// Starts fetching the places where a name the scanner has just read will be
// looked up (as a constant or as a predicate), so that the memory access
// overlaps with the parser's work until then.
inline void prefetchName(std::string_view name) {
    const std::uint32_t h = NAMES::hash(name);
    IDENT::Constants.prefetch(h);
    ATOM::Predicates.prefetch(h);
}

// Reports a scanner error through yyerror and counts it.
void lexicalError(const std::string& message);

// How a byte that begins no token is shown in "syntax error (...)":
// printable ASCII as itself, NUL as \0, any other byte as \xHH, so that
// control characters never reach the terminal raw.
std::string printableByte(unsigned char byte);

// Clears the state of a statement: its variables and whether it is to be
// dropped. Called at the start of every input, so that a statement left
// unfinished by a syntax error does not leak into the next input.
void beginInput();

// Notes the current line as the start of the statement being read, unless
// an earlier name of it was noted already.
void noteStatementStart();
