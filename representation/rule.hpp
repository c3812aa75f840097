// Rules, constraints and update programs.
//
// A body keeps its literals without default negation in front of the
// default-negated ones, each group in the order the literals were added.
// A rule keeps its head and body in one block that copies share; a copy
// reads like a deep copy, since a stored rule never changes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <new>
#include <optional>
#include <ostream>
#include <span>
#include <utility>
#include <vector>

#include "representation/atom.hpp"
#include "representation/pool.hpp"

// A rule head: the disjunction of its atoms.
template <class A>
struct TDISJUNCTION {
    std::vector<A> atoms;

    TDISJUNCTION() = default;
    explicit TDISJUNCTION(A atom) { atoms.push_back(std::move(atom)); }

    void add(const A& atom) { atoms.push_back(atom); }
    void add(A&& atom) { atoms.push_back(std::move(atom)); }
    std::size_t size() const { return atoms.size(); }
    bool empty() const { return atoms.empty(); }
};

// A rule body: the conjunction of its literals. firstNegated is the position
// of the first default-negated literal (literals.size() when there is none);
// as a position rather than an iterator it stays right across growth and
// copies.
template <class L>
struct TCONJUNCTION {
    std::vector<L> literals;
    std::size_t firstNegated = 0;

    TCONJUNCTION() = default;

    // Builds a body from its two groups at once, the cheap way for a parser
    // that collects them apart.
    TCONJUNCTION(std::vector<L> positive, std::vector<L> negative) : literals(std::move(positive)) {
        firstNegated = literals.size();
        literals.reserve(literals.size() + negative.size());
        for (L& l : negative) literals.push_back(std::move(l));
    }

    // A literal without negation goes after the other positive ones, a
    // negated literal to the end.
    void add(const L& literal) {
        if (literal.negated) {
            literals.push_back(literal);
        } else {
            literals.insert(literals.begin() + static_cast<std::ptrdiff_t>(firstNegated), literal);
            ++firstNegated;
        }
    }
    void add(L&& literal) {
        if (literal.negated) {
            literals.push_back(std::move(literal));
        } else {
            literals.insert(literals.begin() + static_cast<std::ptrdiff_t>(firstNegated),
                            std::move(literal));
            ++firstNegated;
        }
    }

    std::size_t size() const { return literals.size(); }
    bool empty() const { return literals.empty(); }

    // Every variable of a negated literal or a comparison is bound by a
    // positive literal that is not a comparison.
    bool isSafe() const;
    // The variables that no such literal binds, by number, each once; for
    // the message about an unsafe statement.
    std::vector<int> unsafeVariables() const;
};

// An integrity constraint: this conjunction must not hold.
template <class L>
struct TCONSTRAINT : TCONJUNCTION<L> {
    TCONSTRAINT() = default;
    explicit TCONSTRAINT(const TCONJUNCTION<L>& body) : TCONJUNCTION<L>(body) {}
    explicit TCONSTRAINT(TCONJUNCTION<L>&& body) : TCONJUNCTION<L>(std::move(body)) {}
};

// What a stored rule's head reads as: its atoms in the order they were
// added.
template <class A>
struct THEAD_VIEW {
    std::span<const A> atoms;

    THEAD_VIEW() = default;
    explicit THEAD_VIEW(std::span<const A> a) : atoms(a) {}
    THEAD_VIEW(const TDISJUNCTION<A>& head) : atoms(head.atoms) {}

    std::size_t size() const { return atoms.size(); }
    bool empty() const { return atoms.empty(); }
};

// What a stored rule's body (or a body being built, or a constraint) reads
// as: its literals, the positive ones first, and where the negated ones
// begin.
template <class L>
struct TBODY_VIEW {
    std::span<const L> literals;
    std::size_t firstNegated = 0;

    TBODY_VIEW() = default;
    TBODY_VIEW(std::span<const L> l, std::size_t negatedFrom)
        : literals(l), firstNegated(negatedFrom) {}
    TBODY_VIEW(const TCONJUNCTION<L>& body)
        : literals(body.literals), firstNegated(body.firstNegated) {}

    std::size_t size() const { return literals.size(); }
    bool empty() const { return literals.empty(); }
};

// A rule: a head (which may be absent) and a body (absent for a fact).
//
// A rule keeps its head atoms and body literals in one block of memory
// together with their counts; the block is never changed once built, so a
// copy of a rule shares it (counted references) and reads exactly like a
// deep copy. Rules are the bulk of a large run (each input rule is stored,
// and the rewritten program holds two or three rules per input rule), so a
// rule costs one allocation and no more than its atoms need.
template <class A, class L>
struct TRULE {
    TRULE() = default;
    explicit TRULE(const TDISJUNCTION<A>& h) : block_(build(h.atoms, {}, {}, false, 0)) {}
    TRULE(const TDISJUNCTION<A>& h, TBODY_VIEW<L> b)
        : block_(build(h.atoms, b.literals.first(b.firstNegated),
                       b.literals.subspan(b.firstNegated), true, 0)) {}
    // The same from parts kept elsewhere: the head atoms, and the body's
    // positive and negated literals, each group in its order; without a
    // body (a fact) both groups are empty. The block gets room for spare
    // more literals, so that a rule one literal longer (the rewriting
    // makes them from each input rule) can reuse it once this rule is gone.
    TRULE(std::span<const A> head, std::span<const L> positive, std::span<const L> negated,
          bool hasBody = true, unsigned spare = 0)
        : block_(build(head, positive, negated, hasBody, spare)) {}

    TRULE(const TRULE& o) : block_(o.block_) {
        if (block_) ++block_->refs;
    }
    TRULE(TRULE&& o) noexcept : block_(std::exchange(o.block_, nullptr)) {}
    TRULE& operator=(const TRULE& o) {
        TRULE copy(o);
        std::swap(block_, copy.block_);
        return *this;
    }
    TRULE& operator=(TRULE&& o) noexcept {
        std::swap(block_, o.block_);
        return *this;
    }
    ~TRULE() { release(block_); }

    // The head, absent for a rule without one; the body, absent for a fact.
    std::optional<THEAD_VIEW<A>> head() const {
        if (!block_) return std::nullopt;
        return THEAD_VIEW<A>({atoms(block_), block_->heads});
    }
    std::optional<TBODY_VIEW<L>> body() const {
        if (!block_ || !block_->hasBody) return std::nullopt;
        return TBODY_VIEW<L>({literals(block_), block_->literals}, block_->firstNegated);
    }

    bool isSafe() const;
    std::vector<int> unsafeVariables() const;

    // A choice rule: its head may hold when the body does, and need not.
    bool isChoice() const { return block_ && block_->choice; }
    // The same rule as a choice rule (a copy sharing nothing with this one).
    TRULE asChoice() const;

private:
    // The block: this header, then the head atoms, then the body literals.
    // A rule with a block has a head (possibly without atoms).
    struct BLOCK {
        std::uint32_t refs;
        std::uint32_t heads;
        std::uint32_t literals;
        std::uint32_t firstNegated;
        bool hasBody;
        std::uint8_t spare;  // room for more literals
        bool choice = false;
    };
    static constexpr std::size_t roundUp(std::size_t n, std::size_t to) {
        return (n + to - 1) / to * to;
    }
    static constexpr std::size_t AtomsAt = roundUp(sizeof(BLOCK), alignof(A));
    static std::size_t literalsAt(std::size_t heads) {
        return roundUp(AtomsAt + heads * sizeof(A), alignof(L));
    }
    static A* atoms(BLOCK* b) { return reinterpret_cast<A*>(reinterpret_cast<char*>(b) + AtomsAt); }
    static L* literals(BLOCK* b) {
        return reinterpret_cast<L*>(reinterpret_cast<char*>(b) + literalsAt(b->heads));
    }
    // operator new's memory suits all three.
    static_assert(alignof(BLOCK) <= __STDCPP_DEFAULT_NEW_ALIGNMENT__ &&
                  alignof(A) <= __STDCPP_DEFAULT_NEW_ALIGNMENT__ &&
                  alignof(L) <= __STDCPP_DEFAULT_NEW_ALIGNMENT__);

    BLOCK* block_ = nullptr;  // null: neither head nor body

    // A new block holding copies of the parts, with one reference.
    static BLOCK* build(std::span<const A> head, std::span<const L> positive,
                        std::span<const L> negated, bool hasBody, unsigned spare);
    // Destroys the first heads atoms and the literals, and gives back the
    // block's bytes.
    static void destroy(BLOCK* b, std::size_t heads, std::size_t bytes);
    static void release(BLOCK* b) {
        if (b && --b->refs == 0)
            destroy(b, b->heads, literalsAt(b->heads) + (b->literals + b->spare) * sizeof(L));
    }
};

using HEAD = TDISJUNCTION<ATOM>;
using BODY = TCONJUNCTION<LITERAL>;
using RULE = TRULE<ATOM, LITERAL>;
using CONSTRAINT = TCONSTRAINT<LITERAL>;
using RULES = std::vector<RULE>;
using HEAD_VIEW = THEAD_VIEW<ATOM>;
using BODY_VIEW = TBODY_VIEW<LITERAL>;

template <>
bool BODY::isSafe() const;
template <>
bool RULE::isSafe() const;
template <>
std::vector<int> BODY::unsafeVariables() const;
template <>
std::vector<int> RULE::unsafeVariables() const;

// True when a positive literal of body that is not a comparison has term
// among its arguments.
bool Saves(const BODY_VIEW& body, const IDENT& term);

// Head atoms joined by " v ", " :- " and the body's literals when there is
// a body, then ".".
// Each in the notation given.
void PrintRule(std::ostream& out, const RULE& rule, NOTATION notation);
// ":- ", the literals joined by ", ", then ".".
void PrintConstraint(std::ostream& out, const CONSTRAINT& constraint, NOTATION notation);

// Writes the items from first to last separated by sep, each in its text
// form in the notation given; ITEM is ATOM, LITERAL, RULE or CONSTRAINT.
template <class ITEM>
void PrintList(std::ostream& out, const ITEM* first, const ITEM* last, const char* sep,
               NOTATION notation);
void PrintList(std::ostream& out, const HEAD_VIEW& head, const char* sep, NOTATION notation);
// Also prints a constraint's literals (without ":- " and ".").
void PrintList(std::ostream& out, const BODY_VIEW& body, const char* sep, NOTATION notation);

// The same text appended to out.
void AppendRule(std::string& out, const RULE& rule, NOTATION notation);
void AppendLiterals(std::string& out, const BODY_VIEW& body, NOTATION notation);

// Starts fetching the names a rule's text will be made of, for a writer
// that formats rules one after the other.
[[gnu::always_inline]] inline void prefetchNames(const RULE& rule) {
    const PREDICATE_NAMES& P = ATOM::Predicates;
    if (const auto head = rule.head())
        for (const ATOM& a : head->atoms) {
            P.prefetchText(a.predicate);
            updatePredicates.prefetch(a.predicate);
        }
    if (const auto body = rule.body())
        for (const LITERAL& l : body->literals) {
            P.prefetchText(l.predicate);
            updatePredicates.prefetch(l.predicate);
        }
}

// Long lists go out in pieces of about this size.
inline constexpr std::size_t PrintPiece = 1 << 16;

// Whole-list conveniences for the vectors of rules and constraints.
inline void PrintList(std::ostream& out, const RULES& rules, const char* sep, NOTATION notation) {
    PrintList(out, rules.data(), rules.data() + rules.size(), sep, notation);
}
inline void PrintList(std::ostream& out, const std::vector<CONSTRAINT>& cs, const char* sep,
                      NOTATION notation) {
    PrintList(out, cs.data(), cs.data() + cs.size(), sep, notation);
}
