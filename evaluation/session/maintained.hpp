// The maintained part of a session: the facts and the rules that need no
// search, kept up to date outside clingo from step to step.
//
// A predicate and its complement form a group. A group is kept when every
// rule deriving it is a normal rule over plain terms and comparisons whose
// body reads only kept groups (clingo's rules and constraints may read it:
// see shared and handed groups below). Its atoms are then decided by the
// groups below it: a literal L holds when its highest
// contribution (the program of a fact, or of a rule instance whose body
// holds) is at least as high as that of its complement C, since the
// highest of either side is never rejected and rejects every lower
// contribution of the other side. L and C both holding leaves no answer
// set.
//
// Invariants, after every step: a kept literal's supports count, per
// program, the facts and the rule instances whose bodies hold; its truth
// follows from them and from its complement's; each index of a signature
// holds every literal that is true (and some that are no longer, skipped
// when read). A step changes the supports by the instances that involve a
// changed atom, joined from that atom through an index of the bound
// argument positions: those that held before (counted off) and those that
// hold now (counted on), each instance from its first changed body atom
// only. Groups are settled lowest first, so a body only reads settled
// atoms, but for those of its own recursive component.
//
// Groups that read each other through rules form a recursive component,
// kept when it is monotone (maintained.cpp says when, and why its fixpoint
// is exact): a step brings it up to date by delete-and-rederive.
//
// A group that kept rules derive and that clingo's rules read is *handed*:
// the part decides its atoms as any kept group's (no clingo rule derives it
// or its complement, else it would be clingo's), and clingo reads them as
// externals whose truth the part assigns. Invariant, after every step:
// each handed literal that ever held since clingo was started is an
// external of it (declared in the ground call of the step where it first
// held, which also grounds the instances of older rules that it brings),
// assigned its truth in the part; one never true is not in clingo, and
// reads false there.
//
// A group is kept only while it may be: once a rule makes it recursive in
// a way the part cannot keep exactly, derives it from clingo's side (a
// rule of clingo's, or a kept rule over a group of clingo's), or compares
// a value it cannot order, it goes to clingo for good, with every
// group above it; a group that had rules then makes the step ground again
// from scratch (said with -v).
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

#include "common/text_map.hpp"
#include "evaluation/program/syntax.hpp"
#include "evaluation/session/tables.hpp"

namespace vok::evaluation::engine {

enum class VALUE_KIND : std::uint8_t { INTEGER, CONSTANT, STRING, OTHER };

// An argument of a rule as read: a variable (its number) or a value.
struct SHAPE_ARG {
    std::uint32_t variable = None;
    std::string text;  // clingo's form
    VALUE_KIND kind = VALUE_KIND::OTHER;
    std::int64_t number = 0;
};

struct SHAPE_ATOM {
    SIGN sign;
    std::vector<SHAPE_ARG> args;
};

struct SHAPE_COMPARISON {
    BUILTIN op = BUILTIN::EQUAL;
    SHAPE_ARG left, right;
};

// A rule the maintained part can evaluate: one head, positive and negative
// body atoms over plain terms, comparisons of bound plain terms.
struct RULE_SHAPE {
    SHAPE_ATOM head;
    std::vector<SHAPE_ATOM> positive, negative;
    std::vector<SHAPE_COMPARISON> comparisons;
    std::uint32_t variables = 0;
};

// The value of a plain term, or nothing for a term the part does not read.
std::optional<SHAPE_ARG> valueArg(const TERM& t);

// The rule's shape, or nothing when the maintained part cannot evaluate it.
std::optional<RULE_SHAPE> ruleShape(const RULE& rule, bool pexa);

// A value of a kept atom's argument, interned.
struct VALUE {
    std::string_view text;  // the value's key in MAINTAINED::valueIds, which never moves
    VALUE_KIND kind = VALUE_KIND::OTHER;
    std::int64_t number = 0;
};

struct KEPT_ARG {
    std::uint32_t variable = None;  // None: the value
    std::uint32_t value = None;
};

struct KEPT_ATOM {
    std::uint32_t signature = None;
    std::vector<KEPT_ARG> args;
};

struct KEPT_COMPARISON {
    BUILTIN op = BUILTIN::EQUAL;
    KEPT_ARG left, right;
};

struct KEPT_RULE {
    std::uint32_t rule = None;  // in SESSION::rules
    std::uint32_t program = 0;
    KEPT_ATOM head;
    std::vector<KEPT_ATOM> body;  // the positive atoms, then the negative ones
    std::uint32_t positives = 0;
    std::vector<KEPT_COMPARISON> comparisons;
    std::uint32_t variables = 0;
    bool fresh = true;  // taken in this step: evaluated whole
};

// A kept literal's supports: per program, the facts and the rule instances
// whose bodies hold. Nearly every literal has those of one program, kept in
// place; a second program's move them all to a list of their own, so that
// a base of facts costs no allocation per fact.
class SUPPORTS {
public:
    bool empty() const { return !more_ && one_.second == 0; }
    // The highest program with a support (empty() is false).
    std::uint32_t highest() const { return more_ ? more_->back().first : one_.first; }
    // Adds delta (possibly negative) to the program's count.
    void add(std::uint32_t program, int delta);
    void clear() {
        one_ = {};
        more_.reset();
    }
    // The counts by program, sorted.
    std::vector<std::pair<std::uint32_t, std::uint32_t>> counts() const {
        if (more_) return *more_;
        if (one_.second == 0) return {};
        return {one_};
    }

private:
    using COUNT = std::pair<std::uint32_t, std::uint32_t>;  // (program, count)
    COUNT one_;                                             // count 0: none
    std::unique_ptr<std::vector<COUNT>> more_;              // sorted by program, none of count 0
};

struct KEPT_LITERAL {
    SUPPORTS supports;
    // Offset of its values in MAINTAINED::argValues; ValuesToCome: a fact
    // whose values are read from its text when a join first needs them.
    std::uint32_t args = None;
    // One word for the rest: a base of a million facts holds a million.
    std::uint32_t indexed : 29 = 0;  // the indexes of its signature that hold it (bits)
    std::uint32_t truth : 1 = 0;     // after the step
    std::uint32_t changed : 1 = 0;   // its truth changed in the step
    std::uint32_t dirty : 1 = 0;     // its supports changed in the step
};

// The literals of a signature by the values at some argument positions.
struct KEPT_INDEX {
    std::uint32_t mask = 0;  // the positions bound
    std::unordered_map<std::uint64_t, std::vector<std::uint32_t>> buckets;
    std::size_t entries = 0, dead = 0;
};

constexpr std::uint32_t ValuesToCome = None - 1;

struct KEPT_SIGNATURE {
    std::vector<std::uint32_t> literals;  // every kept literal of it
    // Those before literals[valuesKnown] have their values (none to come).
    std::uint32_t valuesKnown = 0;
    std::vector<KEPT_INDEX> indexes;
    std::vector<std::uint32_t> changed;  // literals whose truth changed
};

// What the session knows of every rule, for deciding the groups.
struct RULE_GROUPS {
    std::uint32_t head = None;  // group; None for a constraint
    std::vector<std::uint32_t> body;
    std::uint32_t kept = None;  // its KEPT_RULE, or None when clingo must hold it
};

// Where a group's atoms are decided: by the part alone, by both (shared:
// clingo reads its facts, which only facts derive), by clingo alone, or by the
// part, which hands clingo the truth of its atoms (clingo's rules read a
// group that kept rules derive).
constexpr char KEPT = 0, SHARED = 1, CLINGO = 2, HANDED = 3;

// Kept groups decided together: one group, or the groups of a recursive
// component.
struct KEPT_COMPONENT {
    std::vector<std::uint32_t> groups;
    std::vector<std::uint32_t> inner;  // signatures the recursion derives and reads
    bool recursive = false;
};

struct MAINTAINED {
    MAINTAINED() = default;
    // The values' texts are views of the keys of valueIds.
    MAINTAINED(const MAINTAINED&) = delete;
    MAINTAINED& operator=(const MAINTAINED&) = delete;

    TEXT_MAP<std::uint32_t> valueIds;
    std::vector<VALUE> values;
    std::vector<std::uint32_t> argValues;
    std::vector<KEPT_LITERAL> literals;      // by session literal
    std::vector<KEPT_SIGNATURE> signatures;  // by session signature
    std::vector<char> inClingo;              // by group: KEPT, SHARED, HANDED or CLINGO (for good)
    std::vector<KEPT_RULE> rules;
    std::vector<RULE_GROUPS> ruleGroups;   // by session rule
    std::vector<KEPT_COMPONENT> order;     // the kept groups, lowest first
    std::vector<std::uint32_t> dirty;      // literals whose supports changed in the step
    std::vector<std::uint32_t> unordered;  // groups that met a value they cannot order
    std::size_t contradictions = 0;        // kept literals that hold with their complement
};

}  // namespace vok::evaluation::engine
