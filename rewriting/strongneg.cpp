// The constraints that keep a predicate and its complement apart.
#include "rewriting/strongneg.hpp"

#include "rewriting/auxiliary.hpp"
#include "rewriting/trace.hpp"

void addStrongNegCons(REWRITING& R) {
    // Live walk: complements registered by addNegConstraint are met when
    // they sort after the current name.
    const PREDICATE_NAMES& P = ATOM::Predicates;
    forEachPredicate([&](std::string_view text, unsigned number) {
        const std::string name(text);
        if (P.type(number) == PREDICATE_NAMES::BUILTIN_PREDICATE || HasReservedPrefix(name)) return;
        // The pair is handled when its positive name is visited.
        if (!name.empty() && name[0] == '-') {
            const std::string_view positive = std::string_view(name).substr(1);
            if (P.contains(positive) || updatePredicates.contains(positive)) return;
        }
        addNegConstraint(R, name, P.arity(number));
    });
}

void addNegConstraint(REWRITING& R, std::string name, unsigned k) {
    const auto V = ArbitraryVariables(k);
    std::vector<LITERAL> positive;
    positive.emplace_back(ATOM(name, V, PREDICATE_NAMES::IDB), false);
    positive.emplace_back(ATOM(complementName(name), V, PREDICATE_NAMES::IDB), false);
    R.translation.constraints.emplace_back(BODY(std::move(positive), {}));
    traceConstraint(R, "Added constraint ", R.translation.constraints.back(), ".");
}
