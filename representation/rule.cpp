#include "rule.hpp"

#include <algorithm>
#include <bit>

#include "common/never_destroyed.hpp"

// Never destroyed, like the name tables (see ident.cpp): freeing every rule
// at exit would only cost time.
namespace {
NEVER_DESTROYED<std::vector<OID>> Programs;
NEVER_DESTROYED<RULES> Rewritten, Minimality;
NEVER_DESTROYED<INERTIA_RULES> Inertia;
NEVER_DESTROYED<std::vector<CONSTRAINT>> InputConstraints, MinimalityConstraints;
NEVER_DESTROYED<REJECTION_MARKS> Rejections;
}  // namespace
std::vector<OID>& UpdateIDs = Programs.get();
RULES& Pupd = Rewritten.get();
INERTIA_RULES& PropagationRules = Inertia.get();
std::size_t PropagationAt = 0;
std::vector<CONSTRAINT>& Constraints = InputConstraints.get();
RULES& MinRules = Minimality.get();
std::vector<CONSTRAINT>& MinConstraints = MinimalityConstraints.get();
REJECTION_MARKS& RejectionRules = Rejections.get();

void INERTIA_RULES::add(PROPAGATION_RULE a, PROPAGATION_RULE b) {
    ++pairs_;
    if (!runs_.empty()) {
        RUN& last = runs_.back();
        const unsigned d = last.count;
        const bool below =
            last.a.head >= d && last.a.body >= d && last.b.head >= d && last.b.body >= d;
        if (below && a == step(last.a, d) && b == step(last.b, d)) {
            ++last.count;
            firstPairs_.clear();
            return;
        }
    }
    runs_.push_back({a, b, 1});
    firstPairs_.clear();
}

std::size_t INERTIA_RULES::runOf(std::size_t pair) const {
    if (firstPairs_.size() != runs_.size()) {
        firstPairs_.resize(runs_.size());
        std::size_t n = 0;
        for (std::size_t r = 0; r < runs_.size(); ++r) {
            firstPairs_[r] = n;
            n += runs_[r].count;
        }
    }
    const auto after = std::upper_bound(firstPairs_.begin(), firstPairs_.end(), pair);
    return static_cast<std::size_t>(after - firstPairs_.begin()) - 1;
}

void REJECTION_MARKS::mark(std::size_t k) {
    if (marked(k)) return;
    if (k / 64 >= bits.size()) bits.resize(k / 64 + 1);
    bits[k / 64] |= std::uint64_t(1) << (k % 64);
    ++count;
    stale = true;
}

std::size_t REJECTION_MARKS::before(std::size_t k) const {
    if (stale || prefix.size() != bits.size()) {
        prefix.resize(bits.size());
        std::size_t n = 0;
        for (std::size_t w = 0; w < bits.size(); ++w) {
            prefix[w] = n;
            n += static_cast<std::size_t>(std::popcount(bits[w]));
        }
        stale = false;
    }
    const std::size_t w = k / 64;
    if (w >= bits.size()) return count;
    const std::uint64_t below = (std::uint64_t(1) << (k % 64)) - 1;
    return prefix[w] + static_cast<std::size_t>(std::popcount(bits[w] & below));
}

// Out of line, so that the compiler does not judge the placement of the
// parts against a block size it folded for one caller.
template <class A, class L>
typename TRULE<A, L>::BLOCK* TRULE<A, L>::build(std::span<const A> head,
                                                std::span<const L> positive,
                                                std::span<const L> negated, bool hasBody,
                                                unsigned spare) {
    const std::size_t heads = head.size();
    const std::size_t count = positive.size() + negated.size();
    spare = std::min(spare, 255u);
    const std::size_t bytes = literalsAt(heads) + (count + spare) * sizeof(L);
    void* memory = allocateBlock(bytes);
    BLOCK* b = new (memory) BLOCK{1,       static_cast<std::uint32_t>(heads),
                                  0,       static_cast<std::uint32_t>(positive.size()),
                                  hasBody, static_cast<std::uint8_t>(spare)};
    // Counted as they are made, so that a failure halfway (a long argument
    // list that cannot be allocated) destroys what exists.
    std::size_t made = 0;
    try {
        for (; made < heads; ++made) new (atoms(b) + made) A(head[made]);
        for (std::span<const L> group : {positive, negated})
            for (const L& l : group) {
                new (literals(b) + b->literals) L(l);
                ++b->literals;
            }
    } catch (...) {
        destroy(b, made, bytes);
        throw;
    }
    return b;
}

template <class A, class L>
void TRULE<A, L>::destroy(BLOCK* b, std::size_t heads, std::size_t bytes) {
    for (std::size_t i = 0; i < heads; ++i) atoms(b)[i].~A();
    for (std::size_t i = 0; i < b->literals; ++i) literals(b)[i].~L();
    b->~BLOCK();
    releaseBlock(b, bytes);
}

template struct TRULE<ATOM, LITERAL>;

bool Saves(const BODY_VIEW& body, const IDENT& term) {
    for (const LITERAL& l : body.literals) {
        if (l.negated || l.isComparison()) continue;
        for (const IDENT& t : l.args)
            if (t == term) return true;
    }
    return false;
}

namespace {

// The variables that the body's positive literals other than comparisons
// bind, sorted, in a list kept from check to check: rules are checked by the
// million, most with a few variables, which a list searched by halves holds
// without an allocation of its own.
using BOUND = std::vector<int>;

const BOUND& boundVariables(const BODY_VIEW& body) {
    static BOUND bound;
    bound.clear();
    for (const LITERAL& l : body.literals) {
        if (l.negated || l.isComparison()) continue;
        for (const IDENT& t : l.args)
            if (t.isVariable()) bound.push_back(t.value());
    }
    std::sort(bound.begin(), bound.end());
    return bound;
}

bool isBound(const BOUND& bound, const IDENT& t) {
    return std::binary_search(bound.begin(), bound.end(), t.value());
}

bool bodyIsSafe(const BODY_VIEW& body, const BOUND& bound) {
    for (const LITERAL& l : body.literals) {
        if (!(l.negated || l.isComparison())) continue;
        for (const IDENT& t : l.args)
            if (t.isVariable() && !isBound(bound, t)) return false;
    }
    return true;
}

}  // namespace

template <>
bool BODY::isSafe() const {
    return bodyIsSafe(*this, boundVariables(*this));
}

template <>
bool RULE::isSafe() const {
    static const BOUND none;  // a fact binds nothing: it is safe when ground
    const auto b = body();
    const BOUND& bound = b ? boundVariables(*b) : none;
    if (const auto h = head())
        for (const ATOM& a : h->atoms)
            for (const IDENT& t : a.args)
                if (t.isVariable() && !isBound(bound, t)) return false;
    return !b || bodyIsSafe(*b, bound);
}

void print_list(std::ostream& out, const HEAD_VIEW& head, const char* sep) {
    print_list(out, head.atoms.data(), head.atoms.data() + head.atoms.size(), sep);
}

void print_list(std::ostream& out, const BODY_VIEW& body, const char* sep) {
    print_list(out, body.literals.data(), body.literals.data() + body.literals.size(), sep);
}

namespace {

void appendLiterals(std::string& out, const BODY_VIEW& body) {
    for (std::size_t i = 0; i < body.literals.size(); ++i) {
        if (i) out += ", ";
        append_literal(out, body.literals[i]);
    }
}

void appendRule(std::string& out, const RULE& rule) {
    if (const auto head = rule.head())
        for (std::size_t i = 0; i < head->atoms.size(); ++i) {
            if (i) out += " v ";
            append_atom(out, head->atoms[i]);
        }
    if (const auto body = rule.body()) {
        out += " :- ";
        appendLiterals(out, *body);
    }
    out += '.';
}

void appendConstraint(std::string& out, const CONSTRAINT& constraint) {
    out += ":- ";
    appendLiterals(out, constraint);
    out += '.';
}

// Long lists go out in pieces of about this size.
constexpr std::size_t Piece = 1 << 16;

// The predicate names of a large program are met in no order: a list
// starts fetching those of the rule this many places ahead.
constexpr std::ptrdiff_t Ahead = 8;

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

}  // namespace

void print_rule(std::ostream& out, const RULE& rule) {
    std::string text;
    appendRule(text, rule);
    out << text;
}

void print_constraint(std::ostream& out, const CONSTRAINT& constraint) {
    std::string text;
    appendConstraint(text, constraint);
    out << text;
}

void print_list(std::ostream& out, const RULE* first, const RULE* last, const char* sep) {
    std::string text;
    for (const RULE* r = first; r != last; ++r) {
        if (last - r > Ahead) prefetchNames(r[Ahead]);
        if (r != first) text += sep;
        appendRule(text, *r);
        if (text.size() >= Piece) {
            out << text;
            text.clear();
        }
    }
    out << text;
}

void print_list(std::ostream& out, const CONSTRAINT* first, const CONSTRAINT* last,
                const char* sep) {
    std::string text;
    for (const CONSTRAINT* c = first; c != last; ++c) {
        if (c != first) text += sep;
        appendConstraint(text, *c);
        if (text.size() >= Piece) {
            out << text;
            text.clear();
        }
    }
    out << text;
}

namespace {

// "(X0,...,Xk-1)" for k > 0, as append_atom writes arbitrary variables.
void appendVariables(std::string& out, unsigned k) {
    if (k == 0) return;
    for (unsigned n = 0; n < k; ++n) {
        out += n ? ",X" : "(X";
        out += std::to_string(n);
    }
    out += ')';
}

void appendPropagationAtom(std::string& out, unsigned predicate, unsigned k) {
    if (isUpdateNumber(predicate)) updatePredicates.appendText(out, predicate);
    else append_name(out, ATOM::Predicates.text(predicate));
    appendVariables(out, k);
}

// The arity of both atoms of an inertia rule, which share their variables:
// an update name's, whose base is fetched ahead with its text, rather than
// a plain predicate's, whose signature would be one more miss per rule in a
// large program.
unsigned propagationArity(const PROPAGATION_RULE& rule) {
    if (isUpdateNumber(rule.body)) return updatePredicates.arity(rule.body);
    return ATOM::Predicates.arity(rule.head);
}

[[gnu::always_inline]] inline void prefetchNames(const PROPAGATION_RULE& rule) {
    for (const unsigned n : {rule.head, rule.body}) {
        ATOM::Predicates.prefetchText(n);
        updatePredicates.prefetch(n);
    }
}

// The inertia rules first to last - 1, separated by sep. The rules of a run
// share their names' bases, whose texts are fetched two runs ahead.
void printInertia(std::ostream& out, std::size_t first, std::size_t last, const char* sep) {
    std::string text;
    bool any = false;
    PropagationRules.visit(
        first, last,
        [&](const PROPAGATION_RULE& rule) {
            if (any) text += sep;
            any = true;
            append_propagation(text, rule);
            if (text.size() >= Piece) {
                out << text;
                text.clear();
            }
        },
        [](const PROPAGATION_RULE& a, const PROPAGATION_RULE& b) {
            prefetchNames(a);
            prefetchNames(b);
        });
    out << text;
}

}  // namespace

void append_propagation(std::string& out, const PROPAGATION_RULE& rule) {
    const unsigned k = propagationArity(rule);
    appendPropagationAtom(out, rule.head, k);
    out += " :- ";
    appendPropagationAtom(out, rule.body, k);
    out += '.';
}

RULE propagationRule(const PROPAGATION_RULE& rule) {
    const unsigned k = propagationArity(rule);
    std::vector<IDENT> variables;
    for (unsigned n = 0; n < k; ++n) variables.emplace_back(IDENT::VARIABLE, static_cast<int>(n));
    const ARGUMENTS V = k ? ARGUMENTS(variables) : ARGUMENTS(std::nullopt);
    const ATOM head(rule.head, V);
    const LITERAL body(ATOM(rule.body, V), false);
    return RULE(std::span<const ATOM>(&head, 1), std::span<const LITERAL>(&body, 1), {});
}

namespace {

// The parts of a rewritten rule that its rejection rule is made of.
struct REJECTION_PARTS {
    const ATOM& rejection;              // its head: the rewritten rule's last literal
    std::span<const LITERAL> positive;  // then these,
    ATOM complement;                    // this,
    std::span<const LITERAL> negated;   // and these
};

REJECTION_PARTS rejectionParts(const RULE& rewritten) {
    const ATOM& head = rewritten.head()->atoms.front();
    const BODY_VIEW body = *rewritten.body();
    return {body.literals.back(), body.literals.first(body.firstNegated),
            ATOM(updatePredicates.complementAfter(head.predicate), head.args),
            body.literals.subspan(body.firstNegated, body.literals.size() - 1 - body.firstNegated)};
}

void appendRejectionRule(std::string& out, const RULE& rewritten) {
    const REJECTION_PARTS parts = rejectionParts(rewritten);
    append_atom(out, parts.rejection);
    out += " :- ";
    for (const LITERAL& l : parts.positive) {
        append_literal(out, l);
        out += ", ";
    }
    append_atom(out, parts.complement);
    for (const LITERAL& l : parts.negated) {
        out += ", ";
        append_literal(out, l);
    }
    out += '.';
}

// Pupd's rules from a to b - 1 in the order of the translated program,
// where each marked rule stands after its rejection rule: the numbers are
// places in that order, not in Pupd.
void printWithRejections(std::ostream& out, std::size_t a, std::size_t b, const char* sep) {
    if (RejectionRules.count == 0) return print_list(out, Pupd.data() + a, Pupd.data() + b, sep);
    // The rule k at place a or whose rejection rule is there: the last k
    // with k + (marks before k) <= a.
    std::size_t low = 0, high = Pupd.size();
    while (high - low > 1) {
        const std::size_t mid = low + (high - low) / 2;
        (mid + RejectionRules.before(mid) <= a ? low : high) = mid;
    }
    std::size_t k = low;
    bool rejection = RejectionRules.marked(k) && k + RejectionRules.before(k) == a;
    std::string text;
    for (std::size_t place = a; place < b; ++place) {
        if (place != a) text += sep;
        if (k + static_cast<std::size_t>(Ahead) < Pupd.size())
            prefetchNames(Pupd[k + static_cast<std::size_t>(Ahead)]);
        if (rejection) {
            appendRejectionRule(text, Pupd[k]);
            rejection = false;
        } else {
            appendRule(text, Pupd[k]);
            ++k;
            rejection = k < Pupd.size() && RejectionRules.marked(k);
        }
        if (text.size() >= Piece) {
            out << text;
            text.clear();
        }
    }
    out << text;
}

}  // namespace

RULE rejectionRule(const RULE& rewritten) {
    const REJECTION_PARTS parts = rejectionParts(rewritten);
    std::vector<LITERAL> positive(parts.positive.begin(), parts.positive.end());
    positive.emplace_back(parts.complement, false);
    return RULE(std::span<const ATOM>(&parts.rejection, 1), positive, parts.negated);
}

std::size_t TranslatedRuleCount() {
    return Pupd.size() + RejectionRules.count + PropagationRules.size();
}

void print_translated_rules(std::ostream& out, std::size_t first, std::size_t last,
                            const char* sep) {
    // Three runs: Pupd before the inertia rules, the inertia rules, the rest
    // of Pupd; each part of [first, last) that falls into one. Places count
    // the rejection rules written from Pupd's marked rules.
    const std::size_t stored = std::min(PropagationAt, Pupd.size());
    const std::size_t at = stored + RejectionRules.before(stored);
    const std::size_t all = Pupd.size() + RejectionRules.count;
    const std::size_t inertia = PropagationRules.size();
    bool any = false;
    auto run = [&](std::size_t from, std::size_t to, auto&& print) {
        from = std::max(from, first);
        to = std::min(to, last);
        if (from >= to) return;
        if (any) out << sep;
        any = true;
        print(from, to);
    };
    run(0, at, [&](std::size_t a, std::size_t b) { printWithRejections(out, a, b, sep); });
    run(at, at + inertia,
        [&](std::size_t a, std::size_t b) { printInertia(out, a - at, b - at, sep); });
    run(at + inertia, all + inertia, [&](std::size_t a, std::size_t b) {
        printWithRejections(out, a - inertia, b - inertia, sep);
    });
}
