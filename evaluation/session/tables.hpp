// The tables of a session: its literals, each text kept once and found
// through common/name_index, and the signatures of their predicates.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

#include "common/name_index.hpp"
#include "evaluation/program/syntax.hpp"

namespace vok::evaluation::engine {

constexpr std::uint32_t None = UINT32_MAX;

// Room for more elements, growing by doubling as push_back would: a step of
// many facts grows a table once.
template <class T>
void reserveMore(std::vector<T>& v, std::size_t more) {
    const std::size_t want = v.size() + more;
    if (want > v.capacity()) v.reserve(std::max(want, 2 * v.capacity()));
}

enum class STANDING : std::uint8_t {
    NONE,     // nothing derives the literal
    BASE,     // only facts derive it, and it is in the base set
    DYNAMIC,  // it is in clingo
};

struct SESSION_LITERAL {
    std::string_view text;  // in clingo's form, kept by LITERALS
    std::uint32_t signature = None;
    std::uint32_t complement = None;
    std::uint32_t firstFact = None;  // its facts, linked through SESSION_FACT::next
    std::uint32_t finalHook = None;  // the open hook f'(N,H) of the literal itself; None: undefined
    std::uint32_t firstRecord = None;  // without levels: the levels of its contributions
    STANDING standing = STANDING::NONE;
    bool chained = false;   // it has levels (SESSION::levels), as its complement has contributions
    bool finalNew = false;  // defined by the ground call of the step's rules
    bool hooked = false;    // defined with a hook (its signature was hooked then)
    bool touched = false;   // the step changed its standing
    bool wasBase = false;   // its standing at the start of the step was BASE
    bool handed = false;    // an external of the running clingo that the maintained part assigns
};

// The literals by number, and their texts by hash (common/name_index): a
// slot holds the text's hash and 1 + the literal's number (0: free), so
// that most probes compare no text and regrowth reads none.
class LITERALS {
public:
    LITERALS() = default;
    LITERALS(const LITERALS&) = delete;
    LITERALS& operator=(const LITERALS&) = delete;

    // The literal of text, or None.
    std::uint32_t find(std::string_view text) const;
    // The literal of text, made with the signature when it is new.
    std::uint32_t intern(std::string_view text, std::uint32_t signature);
    // Room for more literals, so that a step of many facts grows the list
    // and the index once rather than by doubling on the way.
    void reserve(std::size_t more);
    // The complement of literal id if it is known, without making it;
    // None otherwise. Once found, it is kept with both.
    std::uint32_t knownComplement(std::uint32_t id);

    SESSION_LITERAL& operator[](std::uint32_t id) { return list_[id]; }
    const SESSION_LITERAL& operator[](std::uint32_t id) const { return list_[id]; }
    std::uint32_t size() const { return static_cast<std::uint32_t>(list_.size()); }
    std::vector<SESSION_LITERAL>::iterator begin() { return list_.begin(); }
    std::vector<SESSION_LITERAL>::iterator end() { return list_.end(); }

private:
    struct SLOT {
        std::uint32_t hash = 0;
        std::uint32_t id = 0;  // 1 + the literal's number; 0: free
        bool free() const { return id == 0; }
        std::uint32_t home() const { return hash; }
    };
    std::vector<SESSION_LITERAL> list_;
    BLOCKS<char> texts_;  // the texts, back to back (no length or NUL: the literals have both)
    NAME_INDEX<SLOT> index_;
    std::string buffer_;  // the complement's text, while it is looked up

    std::size_t slotOf(std::string_view text, std::uint32_t hash) const;
};

// A signature as the text of an atom shows it.
struct SIGN {
    std::string key, name;  // key: "-p/2"
    std::uint32_t arity = 0;
    bool negative = false;
};

std::string signKey(bool negative, std::string_view name, std::uint32_t arity);

struct SESSION_SIGNATURE {
    std::string name;  // the predicate in clingo's form, without "-"
    std::uint32_t arity = 0;
    bool negative = false;
    std::uint32_t complement = None;
    bool referenced = false;  // a rule body or a constraint uses it
    // Its literals are all defined with a hook f'(N,H) for the contributions
    // of later steps: a rule derives it, or one of its literals once gained
    // a contribution after it was defined without one.
    bool hooked = false;
    // The ground call that defines its new literals without hooks (None:
    // none): many facts of a predicate no rule derives, each of which would
    // otherwise cost clingo a frozen atom in every later solve.
    std::uint32_t bareCall = None;
    bool shown = false;
    bool hidden = false;                      // the session's own (a choice's body): never shown
    std::vector<std::uint32_t> baseLiterals;  // may hold some no longer in the base
    // The rules and constraints with a positive body atom of it: (rule, atom).
    std::vector<std::pair<std::uint32_t, std::uint32_t>> positiveUses;
};

// The signatures by number and by key; few enough for a plain map.
struct SIGNATURES {
    std::vector<SESSION_SIGNATURE> list;
    std::unordered_map<std::string, std::uint32_t> ids;

    // The signature of sign, made (and joined to its complement) when new.
    std::uint32_t of(const SIGN& sign);
    SESSION_SIGNATURE& operator[](std::uint32_t id) { return list[id]; }
    const SESSION_SIGNATURE& operator[](std::uint32_t id) const { return list[id]; }
    std::uint32_t size() const { return static_cast<std::uint32_t>(list.size()); }
};

}  // namespace vok::evaluation::engine
