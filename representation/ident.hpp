// Terms and name tables.
//
// Every name the system handles (constants, predicate names, generated
// names) is stored once in a NAMESTABLE and referred to by a dense number.
// A term (IDENT) is a variable, a constant or an integer; constants live in
// the global table IDENT::Constants.
#pragma once

#include <cstring>
#include <map>
#include <ostream>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

// One entry of a name table: an owned text, ordered byte-wise (as strcmp).
struct NAMES_ITEM {
    std::string name;

    explicit NAMES_ITEM(std::string_view text) : name(text) {}

    const char* c_str() const { return name.c_str(); }
};

// Byte-wise comparison of entries and plain texts, so that the table can be
// searched with a string_view without building an entry first.
struct NAMES_ORDER {
    using is_transparent = void;
    static std::string_view view(const NAMES_ITEM& i) { return i.name; }
    static std::string_view view(std::string_view s) { return s; }
    template <class A, class B>
    bool operator()(const A& a, const B& b) const {
        // std::string_view compares with char_traits<char>, which orders as
        // unsigned bytes like memcmp.
        return view(a) < view(b);
    }
};

// Gives each distinct text a number, densely from 0 in order of first
// insertion; iterates in name order.
template <class ITEM>
struct NAMESTABLE {
    using map_type = std::map<ITEM, unsigned, NAMES_ORDER>;
    using const_iterator = typename map_type::const_iterator;

    map_type index;
    std::vector<const_iterator> items;  // element n is the entry numbered n
    unsigned count = 0;

    // (number, inserted)
    std::pair<unsigned, bool> insert(std::string_view text) {
        auto [it, fresh] = index.try_emplace(ITEM(text), count);
        if (!fresh) return {it->second, false};
        items.push_back(it);
        return {count++, true};
    }

    // (number, found); (0, false) when the text is absent
    std::pair<unsigned, bool> find(std::string_view text) const {
        auto it = index.find(text);
        if (it == index.end()) return {0, false};
        return {it->second, true};
    }

    bool contains(std::string_view text) const { return index.find(text) != index.end(); }

    // The text of number n; n must be below count.
    const char* name(unsigned n) const { return items[n]->first.c_str(); }
    const std::string& text(unsigned n) const { return items[n]->first.name; }

    unsigned size() const { return static_cast<unsigned>(items.size()); }
    const_iterator begin() const { return index.begin(); }
    const_iterator end() const { return index.end(); }
};

using NAMES = NAMESTABLE<NAMES_ITEM>;

// A term: two 32-bit fields, copied by value.
struct IDENT {
    enum KIND { VARIABLE = 0, CONSTANT = 1, INTEGER = 2, NONE = 3 };

    int kind = NONE;
    int value = 0;

    IDENT() = default;
    IDENT(int k, int v) : kind(k), value(v) {}

    bool isVariable() const { return kind == VARIABLE; }

    // Terms of kind NONE are all equal; others compare kind and value.
    bool operator==(const IDENT& o) const {
        if (kind != o.kind) return false;
        return kind == NONE || value == o.value;
    }
    bool operator<(const IDENT& o) const {
        if (kind != o.kind) return kind < o.kind;
        return kind != NONE && value < o.value;
    }

    static NAMES Constants;  // the text of every constant
};

// The variables of the statement being parsed.
struct LOCAL_VARIABLES {
    unsigned count = 0;
    std::map<std::string, unsigned, std::less<>> names;

    void reset() {
        count = 0;
        names.clear();
    }
};

extern LOCAL_VARIABLES LocalVariables;

// A name beginning with an upper-case letter is a variable numbered through
// LocalVariables; any other name is a constant interned in IDENT::Constants.
IDENT newIDENT(std::string_view text);

// A list of one to three terms; null second or third terms are left out.
std::vector<IDENT> newIDENTS(const IDENT* first, const IDENT* second = nullptr,
                             const IDENT* third = nullptr);

// Writes one term: X<n>, the constant's text, or the integer.
void print_term(std::ostream& out, const IDENT& term);

// Writes the terms separated by sep.
void print_list(std::ostream& out, const std::vector<IDENT>& terms, const char* sep);

// Writes the names of a range of a name table in name order, separated by
// sep; for the pexa form a leading "-" becomes "NEG_".
void print_list(std::ostream& out, NAMES::const_iterator first, NAMES::const_iterator last,
                const char* sep);

// Writes a predicate or name text in the output form of the program type:
// for pexa a leading "-" is written "NEG_".
void print_name(std::ostream& out, std::string_view name);
