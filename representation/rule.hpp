// Rules, constraints, update programs and the global program lists.
//
// A body keeps its literals without default negation in front of the
// default-negated ones, each group in the order the literals were added.
// Rules own their head and body and copy them deeply.
#pragma once

#include <cstddef>
#include <memory>
#include <ostream>
#include <vector>

#include "representation/atom.hpp"

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
};

// An integrity constraint: this conjunction must not hold.
template <class L>
struct TCONSTRAINT : TCONJUNCTION<L> {
    TCONSTRAINT() = default;
    explicit TCONSTRAINT(const TCONJUNCTION<L>& body) : TCONJUNCTION<L>(body) {}
    explicit TCONSTRAINT(TCONJUNCTION<L>&& body) : TCONJUNCTION<L>(std::move(body)) {}
};

template <class A, class L>
struct TRULE {
    std::unique_ptr<TDISJUNCTION<A>> head;  // may be null
    std::unique_ptr<TCONJUNCTION<L>> body;  // null for a fact

    TRULE() = default;
    explicit TRULE(TDISJUNCTION<A> h) : head(std::make_unique<TDISJUNCTION<A>>(std::move(h))) {}
    TRULE(TDISJUNCTION<A> h, TCONJUNCTION<L> b)
        : head(std::make_unique<TDISJUNCTION<A>>(std::move(h))),
          body(std::make_unique<TCONJUNCTION<L>>(std::move(b))) {}

    TRULE(const TRULE& o)
        : head(o.head ? std::make_unique<TDISJUNCTION<A>>(*o.head) : nullptr),
          body(o.body ? std::make_unique<TCONJUNCTION<L>>(*o.body) : nullptr) {}
    TRULE(TRULE&&) noexcept = default;
    TRULE& operator=(const TRULE& o) {
        if (this != &o) {
            head = o.head ? std::make_unique<TDISJUNCTION<A>>(*o.head) : nullptr;
            body = o.body ? std::make_unique<TCONJUNCTION<L>>(*o.body) : nullptr;
        }
        return *this;
    }
    TRULE& operator=(TRULE&&) noexcept = default;

    bool isSafe() const;
};

using HEAD = TDISJUNCTION<ATOM>;
using BODY = TCONJUNCTION<LITERAL>;
using RULE = TRULE<ATOM, LITERAL>;
using CONSTRAINT = TCONSTRAINT<LITERAL>;
using RULES = std::vector<RULE>;

template <>
bool BODY::isSafe() const;
template <>
bool RULE::isSafe() const;

// One update program of the input sequence.
struct OID {
    IDENT id;
    std::unique_ptr<RULES> rules;  // in input order; may be null

    OID() = default;
    explicit OID(IDENT ident) : id(ident), rules(std::make_unique<RULES>()) {}
    OID(const OID& o) : id(o.id), rules(o.rules ? std::make_unique<RULES>(*o.rules) : nullptr) {}
    OID(OID&&) noexcept = default;
    OID& operator=(const OID& o) {
        if (this != &o) {
            id = o.id;
            rules = o.rules ? std::make_unique<RULES>(*o.rules) : nullptr;
        }
        return *this;
    }
    OID& operator=(OID&&) noexcept = default;
};

// Allocated once and never destroyed: they live until the process ends.
extern std::vector<OID>& UpdateIDs;              // the parsed sequence
extern RULES& Pupd;                              // rules of the translated program
extern std::vector<CONSTRAINT>& Constraints;     // input and strong negation constraints
extern RULES& MinRules;                          // global minimality rules
extern std::vector<CONSTRAINT>& MinConstraints;  // global minimality constraints

// True when a positive literal of body that is not a comparison has term
// among its arguments.
bool Saves(const BODY& body, const IDENT& term);

// Head atoms joined by " v ", " :- " and the body's literals when there is
// a body, then ".".
void print_rule(std::ostream& out, const RULE& rule);
// ":- ", the literals joined by ", ", then ".".
void print_constraint(std::ostream& out, const CONSTRAINT& constraint);

void print_list(std::ostream& out, const RULE* first, const RULE* last, const char* sep);
void print_list(std::ostream& out, const CONSTRAINT* first, const CONSTRAINT* last, const char* sep);
void print_list(std::ostream& out, const HEAD& head, const char* sep);
// Also prints a constraint's literals (without ":- " and ".").
void print_list(std::ostream& out, const BODY& body, const char* sep);

// Whole-list conveniences for the vectors of rules and constraints.
inline void print_list(std::ostream& out, const RULES& rules, const char* sep) {
    print_list(out, rules.data(), rules.data() + rules.size(), sep);
}
inline void print_list(std::ostream& out, const std::vector<CONSTRAINT>& cs, const char* sep) {
    print_list(out, cs.data(), cs.data() + cs.size(), sep);
}
