// Selection of the predicates that get inertia rules, and the rules.
#include "rewriting/inertia.hpp"

#include "driver/options.hpp"
#include "rewriting/auxiliary.hpp"
#include "rewriting/trace.hpp"

namespace {

constexpr PREDICATE_NAMES::TYPE IDB = PREDICATE_NAMES::IDB;

// With -O=succint (2) the predicates that some update predicate was made
// from; with any other -O= value (1) every predicate of the input. A
// strongly negated -q is left to q when q's rules will cover it.
bool isSelected(const std::string& p) {
    bool selected = OptionOptimize == 2 ? isRewritten(p) : OptionOptimize == 1 && isOriginal(p);
    if (!selected || p.empty() || p[0] != '-') return selected;
    const std::string_view q = std::string_view(p).substr(1);
    if (!ATOM::Predicates.contains(q)) return true;
    return OptionOptimize == 2 && !isRewritten(q);
}

}  // namespace

void UpdateRewritingPropagation(unsigned N) {
    // A live walk: names that the walk itself adds are met when they sort
    // after the current one.
    const PREDICATE_NAMES& P = ATOM::Predicates;
    for (auto it = P.begin(); it != P.end(); ++it) {
        const std::string p(it->name);
        if (!isSelected(p)) continue;
        const unsigned k = P.arity(it->number);
        for (unsigned n = N; n-- > 0;) addPropRules(p, n, k);
    }
}

void addPropRules(std::string p, unsigned n, unsigned k) {
    const auto V = arbitraryVariables(k);
    if (n > 0) {
        ATOM a(updPred(p, n, k), V.get(), IDB);
        ATOM b(updPred(p, n - 1, k), V.get(), IDB);
        createPropRule(b, a);
        ATOM ca(compl_updPred(p, n, k), V.get(), IDB);
        ATOM cb(compl_updPred(p, n - 1, k), V.get(), IDB);
        createPropRule(cb, ca);
    } else {
        ATOM a(updPred(p, 0, k), V.get(), IDB);
        ATOM self(p, V.get(), IDB);
        createPropRule(self, a);
        ATOM ca(compl_updPred(p, 0, k), V.get(), IDB);
        ATOM complement(complementName(p), V.get(), IDB);
        createPropRule(complement, ca);
    }
}

void createPropRule(const ATOM& head, const ATOM& body) {
    std::vector<LITERAL> positive;
    positive.emplace_back(body, false);
    Pupd.emplace_back(HEAD(head), BODY(std::move(positive), {}));
    traceRule("Added propagation rule ", Pupd.back(), ToRewrittenRules);
}
