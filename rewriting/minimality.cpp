// Global minimality rules and constraints, and the truth fact.
#include "rewriting/minimality.hpp"

#include "base/options.hpp"
#include "rewriting/auxiliary.hpp"
#include "rewriting/trace.hpp"

namespace {

constexpr PREDICATE_NAMES::TYPE IDB = PREDICATE_NAMES::IDB;

// A literal over an argument-less generated proposition.
LITERAL proposition(const std::string& name, bool negated) {
    return LITERAL(ATOM(name, std::nullopt, IDB), negated);
}

}  // namespace

void createMinRule(const HEAD& head, const BODY& body) {
    if (head.empty()) {
        MinConstraints.emplace_back(body);
        traceConstraint("Added minimaltiy (strictness) constraint ", MinConstraints.back(), ".");
        return;
    }
    MinRules.emplace_back(head, body);
    traceRule("Added minimaltiy (strictness) rule ", MinRules.back(),
              "to the global minimaltiy (strictness) rules.");
}

void addLevelRules(unsigned L) {
    HEAD h1(ATOM(okAtom(), std::nullopt, IDB));
    BODY b1;
    b1.add(proposition(okPred(L), false));
    createMinRule(h1, b1);

    HEAD h2(ATOM(equalityPred(L, 0), std::nullopt, IDB));
    BODY b2;
    b2.add(proposition(equalityPred(L + 1, 0), false));
    b2.add(proposition(okPred(L), true));
    createMinRule(h2, b2);
}

void createMinRejCons(std::string r, unsigned L, unsigned k) {
    const auto V = arbitraryVariables(k);
    const std::string m = modelPred(r, k);
    BODY body;
    body.add(LITERAL(ATOM(m, V, IDB), true));
    body.add(LITERAL(ATOM(r, V, IDB), false));
    if (OptionStrict) body.add(proposition(equalityPred(L + 1, 0), false));
    MinConstraints.emplace_back(std::move(body));
    traceConstraint("Added minimaltiy (strictness) rejction constraint ", MinConstraints.back(),
                    "to the global minimality (strictness) constraints.");
}

void addMinRules(unsigned N) {
    const std::string ok = okAtom();
    const std::string truth = truthAtom();

    BODY notOk;
    notOk.add(proposition(ok, true));
    createMinRule(HEAD(), notOk);

    if (OptionStrict) {
        BODY isTrue;
        isTrue.add(proposition(truth, false));
        createMinRule(HEAD(ATOM(equalityPred(N + 1, 0), std::nullopt, IDB)), isTrue);
    }

    Pupd.emplace_back(HEAD(ATOM(truth, std::nullopt, IDB)), BODY());
    traceRule("Added truth fact ", Pupd.back(), ToRewrittenRules);
}
