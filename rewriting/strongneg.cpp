// The constraints that keep a predicate and its complement apart.
#include "rewriting/strongneg.hpp"

#include "rewriting/auxiliary.hpp"
#include "rewriting/trace.hpp"

void addStrongNegCons() {
    // Live walk: complements registered by addNegConstraint are met when
    // they sort after the current name.
    const PREDICATE_NAMES& P = ATOM::Predicates;
    for (auto it = P.begin(); it != P.end(); ++it) {
        const std::string name(it->name);
        if (P.type(it->number) == PREDICATE_NAMES::BUILTIN_PREDICATE || hasReservedPrefix(name))
            continue;
        // The pair is handled when its positive name is visited.
        if (!name.empty() && name[0] == '-' && P.contains(std::string_view(name).substr(1)))
            continue;
        addNegConstraint(name, P.arity(it->number));
    }
}

void addNegConstraint(std::string name, unsigned k) {
    const auto V = arbitraryVariables(k);
    std::vector<LITERAL> positive;
    positive.emplace_back(ATOM(name, V, PREDICATE_NAMES::IDB), false);
    positive.emplace_back(ATOM(complementName(name), V, PREDICATE_NAMES::IDB), false);
    Constraints.emplace_back(BODY(std::move(positive), {}));
    traceConstraint("Added constraint ", Constraints.back(), ".");
}
