// Terms and name tables.
//
// Every name the system handles (constants, predicate names, generated
// names) is stored once in a NAMESTABLE and referred to by a dense number.
// A term (IDENT) is a variable, a constant or an integer; constants live in
// the global table IDENT::Constants.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <functional>
#include <iterator>
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
//
// Lookups go through a hash index over the numbers (open addressing,
// linear probing, at most half full), so that finding a name costs a hash
// and about one string comparison rather than a descent of the ordered map
// with a comparison per level; the map is descended only to insert a new
// name. Everything that adds names goes through insert.
template <class ITEM>
struct NAMESTABLE {
    using map_type = std::map<ITEM, unsigned, NAMES_ORDER>;
    using const_iterator = typename map_type::const_iterator;

    map_type index;
    std::vector<const_iterator> items;  // element n is the entry numbered n
    unsigned count = 0;

    // items points into index: a copy would point into the original, so a
    // table can only be moved (moving a map keeps its iterators valid).
    NAMESTABLE() = default;
    NAMESTABLE(const NAMESTABLE&) = delete;
    NAMESTABLE& operator=(const NAMESTABLE&) = delete;
    NAMESTABLE(NAMESTABLE&&) = default;
    NAMESTABLE& operator=(NAMESTABLE&&) = default;

    // (number, inserted)
    std::pair<unsigned, bool> insert(std::string_view text) {
        const std::uint32_t h = hash(text);
        std::size_t s = probe(text, h);
        if (s < slots.size() && slots[s].entry != 0) return {slots[s].entry - 1, false};
        const std::size_t before = index.size();
        auto it = index.try_emplace(placeOf(text), ITEM(text), count);
        if (index.size() == before) return {it->second, false};  // not reached while the index is current
        items.push_back(it);
        if (2 * items.size() > slots.size()) {
            grow();
            s = probe(text, h);
        }
        slots[s] = {count + 1, h};
        return {count++, true};
    }

    // (number, found); (0, false) when the text is absent
    std::pair<unsigned, bool> find(std::string_view text) const {
        std::size_t s = probe(text, hash(text));
        if (s < slots.size() && slots[s].entry != 0) return {slots[s].entry - 1, true};
        return {0, false};
    }

    bool contains(std::string_view text) const { return find(text).second; }

    // The text of number n; n must be below count.
    const char* name(unsigned n) const { return items[n]->first.c_str(); }
    const std::string& text(unsigned n) const { return items[n]->first.name; }

    unsigned size() const { return static_cast<unsigned>(items.size()); }
    const_iterator begin() const { return index.begin(); }
    const_iterator end() const { return index.end(); }

private:
    // entry is 1 + the number of a name, or 0 for a free slot; hash is the
    // name's hash, so that most mismatches and every regrowth need no text.
    struct SLOT {
        unsigned entry = 0;
        std::uint32_t hash = 0;
    };
    std::vector<SLOT> slots;  // empty or a power of two in size

    static std::uint32_t hash(std::string_view text) {
        return static_cast<std::uint32_t>(std::hash<std::string_view>{}(text));
    }

    // The slot that holds text, or the free slot where it would go;
    // slots.size() while the index is empty.
    std::size_t probe(std::string_view text, std::uint32_t h) const {
        if (slots.empty()) return 0;
        const std::size_t mask = slots.size() - 1;
        for (std::size_t s = h & mask;; s = (s + 1) & mask) {
            const SLOT& slot = slots[s];
            if (slot.entry == 0 || (slot.hash == h && this->text(slot.entry - 1) == text)) return s;
        }
    }

    // Generated names come in sequences (rej_P0_R8, rej_P0_R9, ...) whose
    // next member sorts right after one of the last few names made; then
    // the new name is placed there without a descent of the map.
    static constexpr std::size_t Recent = 4;

    // The map position right after the recent name that text follows
    // directly, or end() (which makes the map descend).
    const_iterator placeOf(std::string_view text) const {
        const std::size_t n = items.size();
        for (std::size_t back = 1; back <= Recent && back <= n; ++back) {
            const_iterator at = items[n - back];
            if (!(std::string_view(at->first.name) < text)) continue;
            const_iterator next = std::next(at);
            if (next == index.end() || text < std::string_view(next->first.name)) return next;
        }
        return index.end();
    }

    // Doubles the slots (16 at first) and places the names anew; the new
    // name, already in items, is placed by insert.
    void grow() {
        std::vector<SLOT> old(slots.empty() ? 16 : 2 * slots.size());
        old.swap(slots);
        const std::size_t mask = slots.size() - 1;
        for (const SLOT& slot : old) {
            if (slot.entry == 0) continue;
            std::size_t s = slot.hash & mask;
            while (slots[s].entry != 0) s = (s + 1) & mask;
            slots[s] = slot;
        }
    }
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

    static NAMES& Constants;  // the text of every constant
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
// Appends the same text to a string. The text forms are built in a string
// and written at once: formatting piece by piece through a stream costs
// more than the text itself.
void append_term(std::string& out, const IDENT& term);

// Writes the terms separated by sep.
void print_list(std::ostream& out, const std::vector<IDENT>& terms, const char* sep);

// Writes the names of a range of a name table in name order, separated by
// sep; for the pexa form a leading "-" becomes "NEG_".
void print_list(std::ostream& out, NAMES::const_iterator first, NAMES::const_iterator last,
                const char* sep);

// Writes a predicate or name text in the output form of the program type:
// for pexa a leading "-" is written "NEG_".
void print_name(std::ostream& out, std::string_view name);
void append_name(std::string& out, std::string_view name);
