// Terms.
//
// Every name the system handles (constants, predicate names, generated
// names) is stored once in a NAMESTABLE (names.hpp) and referred to by a
// dense number. A term (IDENT) is a variable, a constant or an integer;
// constants live in the global table IDENT::Constants.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "representation/names.hpp"
#include "representation/notation.hpp"

// A term in 32 bits, copied by value: an integer of 31 bits (the top bit
// clear), or, with the top bit set, the kind in the next two bits and a
// number of 29 bits (a variable's, a constant's, a compound term's, see
// compound.hpp). A large run holds a few terms per atom and many millions
// of atoms. The kind bits of a compound term are those an integer would
// have, which integers never use (their top bit is clear).
struct IDENT {
    enum KIND { VARIABLE = 0, CONSTANT = 1, INTEGER = 2, NONE = 3, COMPOUND = 4 };
    // The integers a term holds, and the largest number of another kind.
    static constexpr int MinInteger = -(1 << 30), MaxInteger = (1 << 30) - 1;
    static constexpr int MaxNumber = (1 << 29) - 1;

    IDENT() = default;
    // v must be in the range of its kind; a NONE term keeps no value.
    IDENT(int k, int v) : bits_(encode(k, v)) {}

    int kind() const {
        if (!(bits_ >> 31)) return INTEGER;
        const auto tag = static_cast<int>(bits_ >> 29 & 3);
        return tag == INTEGER ? COMPOUND : tag;
    }
    int value() const {
        if (bits_ >> 31) return static_cast<int>(bits_ & MaxNumber);
        return static_cast<int>(bits_ << 1) >> 1;  // the sign is bit 30
    }
    bool isVariable() const { return bits_ >> 29 == (4u | VARIABLE); }

    // Terms of kind NONE are all equal; others compare kind and value.
    bool operator==(const IDENT& o) const { return bits_ == o.bits_; }
    bool operator<(const IDENT& o) const {
        if (kind() != o.kind()) return kind() < o.kind();
        return kind() != NONE && value() < o.value();
    }

    static NAMES& Constants;  // the text of every constant

private:
    std::uint32_t bits_ = encode(NONE, 0);

    static constexpr std::uint32_t encode(int k, int v) {
        if (k == INTEGER) return static_cast<std::uint32_t>(v) & 0x7FFFFFFFu;
        if (k == NONE) v = 0;
        if (k == COMPOUND) k = INTEGER;
        return 0x80000000u | static_cast<std::uint32_t>(k) << 29 |
               (static_cast<std::uint32_t>(v) & MaxNumber);
    }
};

// The variables of a statement being read, numbered from 0 in the order its
// text names them; each parser keeps its own (input/parser.hpp).
struct LOCAL_VARIABLES {
    unsigned count = 0;
    std::map<std::string, unsigned, std::less<>> names;

    void reset() {
        count = 0;
        names.clear();
    }
};

// n as the number of a variable or a constant; more than IDENT::MaxNumber
// of them end the run as memory running out would.
int checkedNumber(unsigned n);

// A name beginning with an upper-case letter is a variable numbered through
// variables; any other name is a constant interned in IDENT::Constants.
IDENT newIDENT(std::string_view text, LOCAL_VARIABLES& variables);

// A list of one to three terms; null second or third terms are left out.
std::vector<IDENT> newIDENTS(const IDENT* first, const IDENT* second = nullptr,
                             const IDENT* third = nullptr);

// Writes one term: X<n>, the constant's text, the integer, or the compound
// term's text.
void PrintTerm(std::ostream& out, const IDENT& term);
// Appends the same text to a string. The text forms are built in a string
// and written at once: formatting piece by piece through a stream costs
// more than the text itself.
void AppendTerm(std::string& out, const IDENT& term);

// Writes the terms separated by sep.
void PrintList(std::ostream& out, const std::vector<IDENT>& terms, const char* sep);

// Writes the names of a range of a name table in name order, separated by
// sep, in the notation given.
void PrintList(std::ostream& out, NAMES::const_iterator first, NAMES::const_iterator last,
               const char* sep, NOTATION notation);

// Writes a predicate or name text in the notation given: for pexa a
// leading "-" is written "NEG_".
void PrintName(std::ostream& out, std::string_view name, NOTATION notation);
void AppendName(std::string& out, std::string_view name, NOTATION notation);
