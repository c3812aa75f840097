// Global minimality rules and constraints, and the truth fact.
#include "rewriting/minimality.hpp"

#include "rewriting/auxiliary.hpp"
#include "rewriting/trace.hpp"

namespace {

constexpr PREDICATE_NAMES::TYPE IDB = PREDICATE_NAMES::IDB;

// A literal over an argument-less generated proposition.
LITERAL proposition(const std::string& name, bool negated) {
    return LITERAL(ATOM(name, std::nullopt, IDB), negated);
}

}  // namespace

void createMinRule(REWRITING& R, const HEAD& head, const BODY& body) {
    TRANSLATION& t = R.translation;
    if (head.empty()) {
        t.minConstraints.emplace_back(body);
        traceConstraint(R, "Added minimaltiy (strictness) constraint ", t.minConstraints.back(),
                        ".");
        return;
    }
    t.minRules.emplace_back(head, body);
    traceRule(R, "Added minimaltiy (strictness) rule ", t.minRules.back(),
              "to the global minimaltiy (strictness) rules.");
}

void addLevelRules(REWRITING& R, unsigned L) {
    HEAD h1(ATOM(OkPredicateName(), std::nullopt, IDB));
    BODY b1;
    b1.add(proposition(OkPredicateAt(L), false));
    createMinRule(R, h1, b1);

    HEAD h2(ATOM(EqualityPredicate(L, 0), std::nullopt, IDB));
    BODY b2;
    b2.add(proposition(EqualityPredicate(L + 1, 0), false));
    b2.add(proposition(OkPredicateAt(L), true));
    createMinRule(R, h2, b2);
}

void createMinRejCons(REWRITING& R, std::string r, unsigned L, unsigned k) {
    const auto V = ArbitraryVariables(k);
    const std::string m = ModelPredicate(r, k);
    BODY body;
    body.add(LITERAL(ATOM(m, V, IDB), true));
    body.add(LITERAL(ATOM(r, V, IDB), false));
    if (R.settings.strict) body.add(proposition(EqualityPredicate(L + 1, 0), false));
    R.translation.minConstraints.emplace_back(std::move(body));
    traceConstraint(R, "Added minimaltiy (strictness) rejction constraint ",
                    R.translation.minConstraints.back(),
                    "to the global minimality (strictness) constraints.");
}

void addMinRules(REWRITING& R, unsigned N) {
    const std::string ok = OkPredicateName();
    const std::string truth = TruthPredicateName();

    BODY notOk;
    notOk.add(proposition(ok, true));
    createMinRule(R, HEAD(), notOk);

    if (R.settings.strict) {
        BODY isTrue;
        isTrue.add(proposition(truth, false));
        createMinRule(R, HEAD(ATOM(EqualityPredicate(N + 1, 0), std::nullopt, IDB)), isTrue);
    }

    R.translation.rules.emplace_back(HEAD(ATOM(truth, std::nullopt, IDB)), BODY());
    traceRule(R, "Added truth fact ", R.translation.rules.back(), ToRewrittenRules);
}
