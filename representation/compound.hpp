// Compound terms: function terms f(a,g(X)) and arithmetic over terms
// (-X, |X|, X+1, X-Y, X*2, X/2, X\2, X**2), as clingo writes them.
//
// A compound term is an IDENT of kind COMPOUND whose value numbers an entry
// of the table Compounds. Each distinct term is kept once, numbered by its
// text (the text the program file holds, variables written X<n> as the
// rule numbers them), so that equal terms are equal IDENTs and writing one
// costs a copy of its text. The entry keeps the structure too, for what
// looks inside: the variables a rule's safety and rewriting see, the names
// of --explain, the values of ground arithmetic. Atoms of constants and
// integers never touch the table: a large fact base pays nothing for it.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "representation/ident.hpp"

enum class TERM_OP : std::uint8_t { FUNCTION, MINUS, ABS, ADD, SUB, MUL, DIV, MOD, POW };

struct COMPOUND {
    TERM_OP op = TERM_OP::FUNCTION;
    IDENT functor;            // FUNCTION: the constant of its name
    std::uint32_t first = 0;  // its arguments (operands) in COMPOUNDS::args
    std::uint32_t count = 0;
    int highestVariable = -1;  // -1: ground
    bool arithmetic = false;   // an operation other than a function symbol inside
};

struct COMPOUNDS {
    NAMES texts;  // numbers the terms by text
    std::vector<COMPOUND> entries;
    std::vector<IDENT> args;

    const COMPOUND& at(IDENT term) const { return entries[static_cast<unsigned>(term.value())]; }
    std::span<const IDENT> argsOf(const COMPOUND& c) const {
        return {args.data() + c.first, c.count};
    }
    std::string_view text(IDENT term) const {
        return texts.text(static_cast<unsigned>(term.value()));
    }

    // The term op(args) (functor: a FUNCTION's name), kept once.
    IDENT make(TERM_OP op, IDENT functor, std::span<const IDENT> operands);
    // Forgets the terms numbered n and above (a session's refused block).
    void truncate(unsigned n);
    unsigned size() const { return texts.size(); }
};

// Never destroyed, like IDENT::Constants.
extern COMPOUNDS& Compounds;

// The largest variable number in term, -1 when it holds none.
int HighestVariable(IDENT term);

// Every variable occurrence in term, in writing order.
void AppendVariables(IDENT term, std::vector<int>& out);

// The variables that matching term against a value binds, as clingo binds
// them in a positive body atom or in one side of an assignment whose other
// side is known: those under function symbols and unary minus, and the one
// variable of a linear term such as X+1, 2*X or -X; none inside other
// arithmetic (X*Y, X/2, |X|).
void AppendBindable(IDENT term, std::vector<int>& out);

// The value of the operation over ground operands, as clingo computes it
// (32-bit integers that wrap, division and modulo truncating towards zero,
// unary minus on a name or a function term negating the symbol), or
// nothing when clingo finds it undefined (arithmetic on names, strings or
// function terms, division by zero, 0 to a negative power). An integer
// beyond what the input can write is kept as a constant whose text is its
// digits, which reads and prints as that integer.
std::optional<IDENT> GroundOperation(TERM_OP op, std::span<const IDENT> operands);

// op(operands): its value when the operands are ground and it is defined,
// the compound term otherwise; undefined set when a ground operation is
// undefined.
IDENT Operation(TERM_OP op, std::span<const IDENT> operands, bool& undefined);

// The text of a term with the variables written by name (names[n] for
// variable n, "_" for one without).
void AppendNamedTerm(std::string& out, IDENT term, const std::vector<std::string>& names);

// The term with each variable n replaced by values[n] (those beyond values
// left as they are) and its ground arithmetic computed; nothing when an
// operation is undefined.
std::optional<IDENT> Substituted(IDENT term, std::span<const IDENT> values);
