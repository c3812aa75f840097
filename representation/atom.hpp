// Predicates, atoms and literals.
//
// ATOM::Predicates numbers every predicate of the program and records its
// arity and kind. Strong negation is part of the name: -p is the predicate
// named "-p", with its own number and arity. The ten builtin predicates of
// the rox program type take the numbers 0 to 9, equal to their BUILTIN
// values.
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "representation/ident.hpp"

// A name table with an arity and a kind per predicate.
struct PREDICATE_NAMES : NAMES {
    enum TYPE { UNSPECIFIED = 0, EDB = 1, IDB = 2, BUILTIN_PREDICATE = 3 };

    std::vector<TYPE> types;
    std::vector<unsigned> arities;

    // (number, ok): a new name is numbered and recorded; a known name is ok
    // when the arity matches and the kinds agree (UNSPECIFIED takes the
    // requested kind).
    std::pair<unsigned, bool> insert(std::string_view name, unsigned arity, TYPE type);

    unsigned arity(unsigned n) const { return arities[n]; }
    TYPE type(unsigned n) const { return types[n]; }
};

enum BUILTIN {
    EQUAL = 0,
    NOT_EQUAL,
    LESS,
    GREATER,
    LESS_OR_EQUAL,
    GREATER_OR_EQUAL,
    INT,
    SUCC,
    PLUS,
    TIMES,
    BUILTIN_COUNT
};

extern const char* const rox_builtin_name[BUILTIN_COUNT];
extern const int rox_builtin_arity[BUILTIN_COUNT];
extern int NumBuiltins;  // builtins registered: 10 for rox, 0 otherwise

// Registers the builtins for the rox program type; does nothing otherwise.
void initBuiltins();

// The registries of generated names (see rewriting/auxiliary.hpp).
extern PREDICATE_NAMES& updatePredicates;
extern PREDICATE_NAMES& minimalPredicates;

// A predicate applied to terms. args is null for an atom without argument
// list; an empty list prints alike. Copies are deep.
struct ATOM {
    unsigned predicate = 0;
    std::unique_ptr<std::vector<IDENT>> args;

    static PREDICATE_NAMES& Predicates;

    ATOM() = default;

    // Builds an atom by predicate name: registers the name with the arity
    // of args and the requested kind in Predicates. A conflict reports the
    // clash on standard error and ends the run with status 1.
    ATOM(std::string_view name, const std::vector<IDENT>* args,
         PREDICATE_NAMES::TYPE type = PREDICATE_NAMES::UNSPECIFIED);

    ATOM(const ATOM& o)
        : predicate(o.predicate),
          args(o.args ? std::make_unique<std::vector<IDENT>>(*o.args) : nullptr) {}
    ATOM(ATOM&&) noexcept = default;
    ATOM& operator=(const ATOM& o) {
        if (this != &o) {
            predicate = o.predicate;
            args = o.args ? std::make_unique<std::vector<IDENT>>(*o.args) : nullptr;
        }
        return *this;
    }
    ATOM& operator=(ATOM&&) noexcept = default;

    unsigned arity() const { return args ? static_cast<unsigned>(args->size()) : 0; }
    bool hasVariable() const;
    int highestVariable() const;  // -1 when there is none
    // The predicate's name; an unregistered number ends through InternalError.
    const std::string& name() const;
    // True for the six comparison builtins, which bind no variable.
    bool isComparison() const;
};

// An atom that may carry default negation.
template <class A>
struct TLITERAL : A {
    bool negated = false;

    TLITERAL() = default;
    TLITERAL(const A& atom, bool neg) : A(atom), negated(neg) {}
    TLITERAL(A&& atom, bool neg) : A(std::move(atom)), negated(neg) {}
};

using LITERAL = TLITERAL<ATOM>;

// The strongly negated atom of name: predicate "-" + name.
ATOM newNegativeATOM(std::string_view name, const std::vector<IDENT>* args);

// A builtin atom; consults no table and checks no arity.
ATOM newBuiltin(BUILTIN builtin, const std::vector<IDENT>* args);

// The complement of a predicate name: adds or removes the leading "-".
std::string complementName(std::string_view name);

// Writes one atom: its name (pexa: "-" as "NEG_") and the arguments.
void print_atom(std::ostream& out, const ATOM& atom);
// Writes one literal: "not " (pexa: "~") when negated, then the atom.
void print_literal(std::ostream& out, const LITERAL& literal);

void print_list(std::ostream& out, const ATOM* first, const ATOM* last, const char* sep);
void print_list(std::ostream& out, const LITERAL* first, const LITERAL* last, const char* sep);
