#include "rewriting/translation.hpp"

#include <algorithm>
#include <bit>

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

namespace {

// The predicate names of a large program are met in no order: a list
// starts fetching those of the rule this many places ahead.
constexpr std::size_t Ahead = 8;

}  // namespace

namespace {

// "(X0,...,Xk-1)" for k > 0, as AppendAtom writes arbitrary variables.
void appendVariables(std::string& out, unsigned k) {
    if (k == 0) return;
    for (unsigned n = 0; n < k; ++n) {
        out += n ? ",X" : "(X";
        out += std::to_string(n);
    }
    out += ')';
}

void appendPropagationAtom(std::string& out, unsigned predicate, unsigned k, NOTATION notation) {
    if (isUpdateNumber(predicate)) updatePredicates.appendText(out, predicate, notation);
    else AppendName(out, ATOM::Predicates.text(predicate), notation);
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
void printInertia(std::ostream& out, const INERTIA_RULES& inertia, std::size_t first,
                  std::size_t last, const char* sep, NOTATION notation) {
    std::string text;
    bool any = false;
    inertia.visit(
        first, last,
        [&](const PROPAGATION_RULE& rule) {
            if (any) text += sep;
            any = true;
            AppendPropagation(text, rule, notation);
            if (text.size() >= PrintPiece) {
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

void AppendPropagation(std::string& out, const PROPAGATION_RULE& rule, NOTATION notation) {
    const unsigned k = propagationArity(rule);
    appendPropagationAtom(out, rule.head, k, notation);
    out += " :- ";
    appendPropagationAtom(out, rule.body, k, notation);
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

void appendRejectionRule(std::string& out, const RULE& rewritten, NOTATION notation) {
    const REJECTION_PARTS parts = rejectionParts(rewritten);
    // A conditional literal's condition would take in the literals after
    // it, the complement among them, as AppendLiterals knows.
    auto conditional = [](const LITERAL& l) { return l.isConditional(); };
    const char* const sep =
        std::any_of(parts.positive.begin(), parts.positive.end(), conditional) ||
                std::any_of(parts.negated.begin(), parts.negated.end(), conditional)
            ? "; "
            : ", ";
    AppendAtom(out, parts.rejection, notation);
    out += " :- ";
    for (const LITERAL& l : parts.positive) {
        AppendLiteral(out, l, notation);
        out += sep;
    }
    AppendAtom(out, parts.complement, notation);
    for (const LITERAL& l : parts.negated) {
        out += sep;
        AppendLiteral(out, l, notation);
    }
    out += '.';
}

// The translation's rules from a to b - 1 in the order of the translated
// program, where each marked rule stands after its rejection rule: the
// numbers are places in that order, not in the rules.
void printWithRejections(std::ostream& out, const TRANSLATION& t, std::size_t a, std::size_t b,
                         const char* sep, NOTATION notation) {
    const RULES& rules = t.rules;
    const REJECTION_MARKS& marks = t.rejections;
    if (marks.count == 0) return PrintList(out, rules.data() + a, rules.data() + b, sep, notation);
    // The rule k at place a or whose rejection rule is there: the last k
    // with k + (marks before k) <= a.
    std::size_t low = 0, high = rules.size();
    while (high - low > 1) {
        const std::size_t mid = low + (high - low) / 2;
        (mid + marks.before(mid) <= a ? low : high) = mid;
    }
    std::size_t k = low;
    bool rejection = marks.marked(k) && k + marks.before(k) == a;
    std::string text;
    for (std::size_t place = a; place < b; ++place) {
        if (place != a) text += sep;
        if (k + static_cast<std::size_t>(Ahead) < rules.size())
            prefetchNames(rules[k + static_cast<std::size_t>(Ahead)]);
        if (rejection) {
            appendRejectionRule(text, rules[k], notation);
            rejection = false;
        } else {
            AppendRule(text, rules[k], notation);
            ++k;
            rejection = k < rules.size() && marks.marked(k);
        }
        if (text.size() >= PrintPiece) {
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

void PrintTranslatedRules(std::ostream& out, const TRANSLATION& t, std::size_t first,
                          std::size_t last, const char* sep, NOTATION notation) {
    // Three runs: the rules before the inertia rules, the inertia rules, the
    // rest of the rules; each part of [first, last) that falls into one.
    // Places count the rejection rules written from the marked rules.
    const std::size_t stored = std::min(t.inertiaAt, t.rules.size());
    const std::size_t at = stored + t.rejections.before(stored);
    const std::size_t all = t.rules.size() + t.rejections.count;
    const std::size_t inertia = t.inertia.size();
    bool any = false;
    auto run = [&](std::size_t from, std::size_t to, auto&& print) {
        from = std::max(from, first);
        to = std::min(to, last);
        if (from >= to) return;
        if (any) out << sep;
        any = true;
        print(from, to);
    };
    run(0, at,
        [&](std::size_t a, std::size_t b) { printWithRejections(out, t, a, b, sep, notation); });
    run(at, at + inertia, [&](std::size_t a, std::size_t b) {
        printInertia(out, t.inertia, a - at, b - at, sep, notation);
    });
    run(at + inertia, all + inertia, [&](std::size_t a, std::size_t b) {
        printWithRejections(out, t, a - inertia, b - inertia, sep, notation);
    });
}
