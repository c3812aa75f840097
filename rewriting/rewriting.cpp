// The entry point of the rewriting and the rewriting of the rules of each
// update program into rewritten and rejection rules.
#include "rewriting/rewriting.hpp"

#include <iostream>
#include <string>

#include "base/exits.hpp"
#include "base/options.hpp"
#include "rewriting/auxiliary.hpp"
#include "rewriting/inertia.hpp"
#include "rewriting/minimality.hpp"
#include "rewriting/strongneg.hpp"
#include "rewriting/trace.hpp"

namespace {

constexpr PREDICATE_NAMES::TYPE IDB = PREDICATE_NAMES::IDB;

// The single head atom of an update program's rule. The parser stores no
// other kind of rule; anything else reaching the rewriting is a bug.
const ATOM& headAtom(const RULE& r) {
    if (!r.head || r.head->atoms.size() != 1) InternalError("Update rule without a single head atom.");
    return r.head->atoms.front();
}

unsigned length(const std::vector<IDENT>* V) { return V ? static_cast<unsigned>(V->size()) : 0; }

// A copy of the rule's body (empty for a fact) with room for the one literal
// the rejection rule adds, so that adding it does not double the storage.
BODY bodyWithRoom(const RULE& r) {
    BODY body;
    if (!r.body) return body;
    body.literals.reserve(r.body->size() + 1);
    body.literals = r.body->literals;
    body.firstNegated = r.body->firstNegated;
    return body;
}

}  // namespace

void UpdateRewriting(std::vector<OID>& ids) {
    const unsigned N = static_cast<unsigned>(ids.size());
    if (OptionDebug) std::cerr << '\n' << "Update Rewriting." << '\n';
    for (unsigned i = 0; i < N; ++i) {
        UpdateRewritingRules(ids[i], i, N);
        if (OptionStrict) addLevelRules(i + 1);
    }
    UpdateRewritingPropagation(N);
    if (OptionMinimal || OptionStrict) addMinRules(N);
    if (OptionProgram == 2) addStrongNegCons();
    if (OptionDebug) std::cerr << "Update Rewriting finished." << '\n' << '\n';
}

void UpdateRewritingRules(OID& program, unsigned i, unsigned N) {
    const bool last = i + 1 == N;
    if (!program.rules) return;
    RULES& rules = *program.rules;
    for (std::size_t j = 0; j < rules.size(); ++j) {
        auto V = variables(rules[j]);
        if (!last) createRejectionRule(rules[j], i, static_cast<unsigned>(j), V.get());
        rewriteRule(rules[j], i, static_cast<unsigned>(j), V.get(), last);
    }
}

void createRejectionRule(const RULE& r, unsigned i, unsigned j, const std::vector<IDENT>* V) {
    const ATOM& h = headAtom(r);
    const std::string p = h.name();
    const unsigned m = length(V);

    const std::string rho = rejectionPred(i, j, m);
    HEAD head(ATOM(rho, V, IDB));
    BODY body = bodyWithRoom(r);
    const std::string gamma = compl_updPred(p, i + 1, h.arity());
    body.add(LITERAL(ATOM(gamma, h.args.get(), IDB), false));

    Pupd.emplace_back(std::move(head), std::move(body));
    traceRule("Added rejection rule ", Pupd.back(), ToRewrittenRules);
    if (OptionMinimal || OptionStrict) createMinRejCons(rho, i + 1, m);
}

void rewriteRule(RULE& r, unsigned i, unsigned j, const std::vector<IDENT>* V, bool last) {
    const ATOM& h = headAtom(r);
    const std::string upsilon = updPred(h.name(), i, h.arity());
    ATOM update(upsilon, h.args.get(), IDB);
    r.head->atoms.erase(r.head->atoms.begin());
    r.head->add(std::move(update));

    if (!r.body) {
        r.body = std::make_unique<BODY>();
        // Under -min/-strict the facts of the most recent program depend on
        // the truth proposition, which the truth fact of addMinRules makes
        // hold.
        if (last && (OptionMinimal || OptionStrict))
            r.body->add(LITERAL(ATOM(truthAtom(), nullptr, IDB), false));
    }
    if (!last) {
        const std::string rho = rejectionPred(i, j, length(V));
        r.body->literals.reserve(r.body->size() + 1);
        r.body->add(LITERAL(ATOM(rho, V, IDB), true));
    }

    Pupd.push_back(r);
    traceRule("Added rewritten rule ", Pupd.back(), ToRewrittenRules);
}
