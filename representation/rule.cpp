#include "rule.hpp"

#include <algorithm>
#include <bit>
#include <type_traits>

#include "common/never_destroyed.hpp"
#include "representation/compound.hpp"

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
                                  hasBody, static_cast<std::uint8_t>(spare),
                                  false};
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

template <class A, class L>
TRULE<A, L> TRULE<A, L>::asChoice() const {
    if (!block_) throw INTERNAL_ERROR{"A choice rule without a head."};
    const std::span<const L> all(literals(block_), block_->literals);
    TRULE copy({atoms(block_), block_->heads}, all.first(block_->firstNegated),
               all.subspan(block_->firstNegated), block_->hasBody, 1);
    copy.block_->choice = true;
    return copy;
}

template struct TRULE<ATOM, LITERAL>;

namespace {

// The arguments whose variables a body literal binds: those of a positive
// atom, the one an aggregate's guard assigns, none of a comparison, an
// assignment (bound apart, see bindByAssignments) or a negated literal.
std::span<const IDENT> boundBy(const LITERAL& l) {
    if (l.negated || l.isComparison() || l.isAssignment()) return {};
    if (l.isAggregate())
        return l.assigns() ? std::span<const IDENT>(l.args.begin(), 1) : std::span<const IDENT>();
    return {l.args.begin(), l.args.size()};
}

// The arguments whose variables other literals must bind.
std::span<const IDENT> neededBy(const LITERAL& l) {
    if (l.negated || l.isComparison() || l.isAssignment()) return {l.args.begin(), l.args.size()};
    if (!l.isAggregate()) return {};
    const std::size_t from = l.assigns() ? 1 : 0;
    return {l.args.begin() + from, l.args.size() - from};
}

}  // namespace

bool Saves(const BODY_VIEW& body, const IDENT& term) {
    for (const LITERAL& l : body.literals)
        for (const IDENT& t : boundBy(l))
            if (t == term) return true;
    return false;
}

namespace {

// The variables that the body binds, sorted, in a list kept from check to
// check: rules are checked by the million, most with a few variables,
// which a list searched by halves holds without an allocation of its own.
// A positive literal other than a comparison binds its variables (inside
// a compound term those clingo binds by matching, see AppendBindable); an
// assignment binds one side's once the other side's are bound.
using BOUND = std::vector<int>;

bool isBound(const BOUND& bound, int variable) {
    return std::binary_search(bound.begin(), bound.end(), variable);
}

bool allBound(const BOUND& bound, const IDENT& t) {
    if (t.isVariable()) return isBound(bound, t.value());
    if (t.kind() != IDENT::COMPOUND || HighestVariable(t) < 0) return true;
    // Never destroyed, as bound in boundVariables.
    static NEVER_DESTROYED<std::vector<int>> kept;
    std::vector<int>& variables = kept.get();
    variables.clear();
    AppendVariables(t, variables);
    return std::all_of(variables.begin(), variables.end(),
                       [&](int v) { return isBound(bound, v); });
}

// Binds by the assignments until none binds more.
void bindByAssignments(const BODY_VIEW& body, BOUND& bound) {
    for (bool more = true; more;) {
        more = false;
        for (const LITERAL& l : body.literals) {
            if (l.negated || !l.isAssignment()) continue;
            for (int side = 0; side < 2; ++side) {
                const IDENT target = l.args[static_cast<std::size_t>(side)];
                if (allBound(bound, target) || !allBound(bound, l.args[1 - side])) continue;
                const std::size_t before = bound.size();
                AppendBindable(target, bound);
                if (bound.size() == before) continue;
                std::sort(bound.begin(), bound.end());
                more = true;
            }
        }
    }
}

const BOUND& boundVariables(const BODY_VIEW& body) {
    // Made in place and never destroyed: a destructor registered for the end
    // of the process could ask the C library for memory after main began,
    // where a request that fails passes unnoticed.
    static NEVER_DESTROYED<BOUND> kept;
    BOUND& bound = kept.get();
    bound.clear();
    bool assignments = false;
    for (const LITERAL& l : body.literals) {
        assignments = assignments || l.isAssignment();
        for (const IDENT& t : boundBy(l)) {
            if (t.isVariable()) bound.push_back(t.value());
            else if (t.kind() == IDENT::COMPOUND) AppendBindable(t, bound);
        }
    }
    std::sort(bound.begin(), bound.end());
    if (assignments) bindByAssignments(body, bound);
    return bound;
}

bool bodyIsSafe(const BODY_VIEW& body, const BOUND& bound) {
    for (const LITERAL& l : body.literals) {
        for (const IDENT& t : neededBy(l))
            if (!allBound(bound, t)) return false;
        // A binding literal's compound terms may hold variables only
        // arithmetic reaches.
        for (const IDENT& t : boundBy(l))
            if (t.kind() == IDENT::COMPOUND && !allBound(bound, t)) return false;
    }
    return true;
}

// Adds the variables of t that bound does not hold.
void addUnboundIn(std::vector<int>& unsafe, const IDENT& t, const BOUND& bound) {
    if (t.isVariable()) {
        if (!isBound(bound, t.value())) unsafe.push_back(t.value());
        return;
    }
    if (t.kind() != IDENT::COMPOUND) return;
    std::vector<int> variables;
    AppendVariables(t, variables);
    for (int v : variables)
        if (!isBound(bound, v)) unsafe.push_back(v);
}

// Adds the variables that the body's literals need bound and bound does
// not hold. An aggregate's are left out: its rewriting numbers them anew,
// and a rule it alone makes unsafe is reported without names.
void addUnbound(std::vector<int>& unsafe, const BODY_VIEW& body, const BOUND& bound) {
    for (const LITERAL& l : body.literals) {
        if (l.isAggregate()) continue;
        for (const IDENT& t : neededBy(l)) addUnboundIn(unsafe, t, bound);
        for (const IDENT& t : boundBy(l))
            if (t.kind() == IDENT::COMPOUND) addUnboundIn(unsafe, t, bound);
    }
}

std::vector<int> sortedOnce(std::vector<int> variables) {
    std::sort(variables.begin(), variables.end());
    variables.erase(std::unique(variables.begin(), variables.end()), variables.end());
    return variables;
}

}  // namespace

template <>
std::vector<int> BODY::unsafeVariables() const {
    std::vector<int> unsafe;
    addUnbound(unsafe, *this, boundVariables(*this));
    return sortedOnce(std::move(unsafe));
}

template <>
std::vector<int> RULE::unsafeVariables() const {
    const BOUND none;
    const auto b = body();
    const BOUND bound = b ? boundVariables(*b) : none;
    std::vector<int> unsafe;
    if (const auto h = head())
        for (const ATOM& a : h->atoms)
            for (const IDENT& t : a.args) addUnboundIn(unsafe, t, bound);
    if (b) addUnbound(unsafe, *b, bound);
    return sortedOnce(std::move(unsafe));
}

template <>
bool BODY::isSafe() const {
    return bodyIsSafe(*this, boundVariables(*this));
}

template <>
bool RULE::isSafe() const {
    // A fact binds nothing: it is safe when ground. Never destroyed, as
    // bound in boundVariables.
    static NEVER_DESTROYED<BOUND> noneKept;
    const BOUND& none = noneKept.get();
    const auto b = body();
    const BOUND& bound = b ? boundVariables(*b) : none;
    if (const auto h = head())
        for (const ATOM& a : h->atoms)
            for (const IDENT& t : a.args)
                if (!allBound(bound, t)) return false;
    return !b || bodyIsSafe(*b, bound);
}

void PrintList(std::ostream& out, const HEAD_VIEW& head, const char* sep, NOTATION notation) {
    PrintList(out, head.atoms.data(), head.atoms.data() + head.atoms.size(), sep, notation);
}

void PrintList(std::ostream& out, const BODY_VIEW& body, const char* sep, NOTATION notation) {
    PrintList(out, body.literals.data(), body.literals.data() + body.literals.size(), sep,
              notation);
}

void AppendLiterals(std::string& out, const BODY_VIEW& body, NOTATION notation) {
    // A conditional literal's condition would take in the literals after it.
    const bool conditional = std::any_of(body.literals.begin(), body.literals.end(),
                                         [](const LITERAL& l) { return l.isConditional(); });
    for (std::size_t i = 0; i < body.literals.size(); ++i) {
        if (i) out += conditional ? "; " : ", ";
        AppendLiteral(out, body.literals[i], notation);
    }
}

void AppendRule(std::string& out, const RULE& rule, NOTATION notation) {
    if (rule.isChoice()) out += "{ ";
    if (const auto head = rule.head())
        for (std::size_t i = 0; i < head->atoms.size(); ++i) {
            if (i) out += " v ";
            AppendAtom(out, head->atoms[i], notation);
        }
    if (rule.isChoice()) out += " }";
    if (const auto body = rule.body()) {
        out += " :- ";
        AppendLiterals(out, *body, notation);
    }
    out += '.';
}

namespace {

void appendConstraint(std::string& out, const CONSTRAINT& constraint, NOTATION notation) {
    out += ":- ";
    AppendLiterals(out, constraint, notation);
    out += '.';
}

// The predicate names of a large program are met in no order: a list
// starts fetching those of the rule this many places ahead.
constexpr std::ptrdiff_t Ahead = 8;

// The text form of one item of a list, for PrintList.
void appendItem(std::string& out, const ATOM& atom, NOTATION notation) {
    AppendAtom(out, atom, notation);
}
void appendItem(std::string& out, const LITERAL& literal, NOTATION notation) {
    AppendLiteral(out, literal, notation);
}
void appendItem(std::string& out, const RULE& rule, NOTATION notation) {
    AppendRule(out, rule, notation);
}
void appendItem(std::string& out, const CONSTRAINT& constraint, NOTATION notation) {
    appendConstraint(out, constraint, notation);
}

}  // namespace

void PrintRule(std::ostream& out, const RULE& rule, NOTATION notation) {
    std::string text;
    AppendRule(text, rule, notation);
    out << text;
}

void PrintConstraint(std::ostream& out, const CONSTRAINT& constraint, NOTATION notation) {
    std::string text;
    appendConstraint(text, constraint, notation);
    out << text;
}

template <class ITEM>
void PrintList(std::ostream& out, const ITEM* first, const ITEM* last, const char* sep,
               NOTATION notation) {
    std::string text;
    for (const ITEM* item = first; item != last; ++item) {
        // Only a list of rules is long enough for the fetch ahead to pay.
        if constexpr (std::is_same_v<ITEM, RULE>)
            if (last - item > Ahead) prefetchNames(item[Ahead]);
        if (item != first) text += sep;
        appendItem(text, *item, notation);
        if (text.size() >= PrintPiece) {
            out << text;
            text.clear();
        }
    }
    out << text;
}

template void PrintList(std::ostream&, const ATOM*, const ATOM*, const char*, NOTATION);
template void PrintList(std::ostream&, const LITERAL*, const LITERAL*, const char*, NOTATION);
template void PrintList(std::ostream&, const RULE*, const RULE*, const char*, NOTATION);
template void PrintList(std::ostream&, const CONSTRAINT*, const CONSTRAINT*, const char*, NOTATION);
