// Rules, constraints, update programs and the global program lists.
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

// An inertia rule, head :- body over the arguments X0, ..., Xk-1 (k the
// arity of both predicates), kept as its two predicate numbers: a sequence
// of N programs has 2N of them per predicate of the input
// (rewriting/inertia.hpp), which with many predicates outnumber the input's
// rules, so that rules of their own would take most of a run's memory.
struct PROPAGATION_RULE {
    unsigned head = 0;
    unsigned body = 0;

    bool operator==(const PROPAGATION_RULE&) const = default;
};

// The inertia rules of the translated program, which come in pairs (a
// predicate's and its complement's at one program). The pairs of one
// predicate at programs N-1 down to 1 differ from one to the next by one in
// each of their four numbers (update names are numbered by program), so
// that they are kept as a run: a first pair and a count. A predicate then
// costs two runs instead of 2N rules.
class INERTIA_RULES {
public:
    // Appends the pair a, b (a before b).
    void add(PROPAGATION_RULE a, PROPAGATION_RULE b);
    std::size_t size() const { return 2 * pairs_; }
    bool empty() const { return pairs_ == 0; }
    void reserve(std::size_t runs) { runs_.reserve(runs); }
    void clear() { *this = INERTIA_RULES(); }
    // visit(rule) for the rules first to last - 1 in order; as each run
    // begins, ahead(a, b) with the first pair of the run two runs later,
    // for a reader that fetches what it will need.
    template <class VISIT, class AHEAD>
    void visit(std::size_t first, std::size_t last, VISIT&& visit, AHEAD&& ahead) const {
        if (first >= last) return;
        std::size_t r = runOf(first / 2);
        std::size_t k = first / 2 - firstPairs_[r];
        bool second = first % 2;
        for (std::size_t at = first; at < last; ++at) {
            const RUN& run = runs_[r];
            if (k == 0 && !second && r + 2 < runs_.size()) ahead(runs_[r + 2].a, runs_[r + 2].b);
            visit(step(second ? run.b : run.a, k));
            if (!second) {
                second = true;
                continue;
            }
            second = false;
            if (++k == run.count) {
                k = 0;
                ++r;
            }
        }
    }

private:
    struct RUN {
        PROPAGATION_RULE a, b;  // the first pair
        unsigned count;         // pairs
    };
    std::vector<RUN> runs_;
    std::size_t pairs_ = 0;
    // The pairs before each run, built for the first question after an add.
    mutable std::vector<std::size_t> firstPairs_;

    static PROPAGATION_RULE step(PROPAGATION_RULE r, std::size_t k) {
        const auto d = static_cast<unsigned>(k);
        return {r.head - d, r.body - d};
    }
    std::size_t runOf(std::size_t pair) const;
};

// Allocated once and never destroyed: they live until the process ends.
extern std::vector<OID>& UpdateIDs;  // the parsed sequence
extern RULES& Pupd;                  // rules of the translated program
// The inertia rules of the translated program, which stand in it after the
// first PropagationAt rules of Pupd.
extern INERTIA_RULES& PropagationRules;
extern std::size_t PropagationAt;
extern std::vector<CONSTRAINT>& Constraints;     // input and strong negation constraints
extern RULES& MinRules;                          // global minimality rules
extern std::vector<CONSTRAINT>& MinConstraints;  // global minimality constraints

// True when a positive literal of body that is not a comparison has term
// among its arguments.
bool Saves(const BODY_VIEW& body, const IDENT& term);

// Head atoms joined by " v ", " :- " and the body's literals when there is
// a body, then ".".
void print_rule(std::ostream& out, const RULE& rule);
// ":- ", the literals joined by ", ", then ".".
void print_constraint(std::ostream& out, const CONSTRAINT& constraint);

void print_list(std::ostream& out, const RULE* first, const RULE* last, const char* sep);
void print_list(std::ostream& out, const CONSTRAINT* first, const CONSTRAINT* last,
                const char* sep);
void print_list(std::ostream& out, const HEAD_VIEW& head, const char* sep);
// Also prints a constraint's literals (without ":- " and ".").
void print_list(std::ostream& out, const BODY_VIEW& body, const char* sep);

// "head(X0,...,Xk-1) :- body(X0,...,Xk-1)." as print_rule writes the rule.
void append_propagation(std::string& out, const PROPAGATION_RULE& rule);
// The rule itself, as Pupd would hold it.
RULE propagationRule(const PROPAGATION_RULE& rule);

// The rejection rules of the translated program, kept as marks on the
// rewritten rules they stand before instead of as rules of their own. The
// rewritten rule of rule j of a program i but the last,
//     p_Pi(args) :- positive, negated, not rej_Pi_Rj(V).
// holds everything its rejection rule says:
//     rej_Pi_Rj(V) :- positive, -p_P(i+1)(args), negated.
// so that the rejection rule is written from it: half the rules of a large
// run take no memory.
struct REJECTION_MARKS {
    std::vector<std::uint64_t> bits;  // by index in Pupd
    std::size_t count = 0;
    // Marks before each word of bits, built for the first question after a
    // mark.
    mutable std::vector<std::size_t> prefix;
    mutable bool stale = false;

    // Pupd's rule k (a rewritten rule as above) has its rejection rule
    // before it.
    void mark(std::size_t k);
    bool marked(std::size_t k) const {
        return k / 64 < bits.size() && (bits[k / 64] >> (k % 64) & 1);
    }
    // Marks before Pupd's rule k.
    std::size_t before(std::size_t k) const;
    void clear() { *this = REJECTION_MARKS(); }
};
extern REJECTION_MARKS& RejectionRules;
// The rejection rule written before Pupd's marked rule k, as a rule.
RULE rejectionRule(const RULE& rewritten);

// The rules of the translated program in their order: Pupd with the
// rejection rules and the inertia rules in their places.
std::size_t TranslatedRuleCount();
// The rules first to last - 1 of that order, separated by sep.
void print_translated_rules(std::ostream& out, std::size_t first, std::size_t last,
                            const char* sep);

// Whole-list conveniences for the vectors of rules and constraints.
inline void print_list(std::ostream& out, const RULES& rules, const char* sep) {
    print_list(out, rules.data(), rules.data() + rules.size(), sep);
}
inline void print_list(std::ostream& out, const std::vector<CONSTRAINT>& cs, const char* sep) {
    print_list(out, cs.data(), cs.data() + cs.size(), sep);
}
