// The entry point of the rewriting and the rewriting of the rules of each
// update program into rewritten and rejection rules.
#include "rewriting/rewriting.hpp"

#include <iostream>
#include <string>

#include "driver/exits.hpp"
#include "driver/options.hpp"
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
    const auto head = r.head();
    if (!head || head->atoms.size() != 1) InternalError("Update rule without a single head atom.");
    return head->atoms.front();
}

unsigned length(const std::vector<IDENT>* V) { return V ? static_cast<unsigned>(V->size()) : 0; }

// A group of a body's literals with one more literal after it, in a buffer
// that serves rule after rule.
std::span<const LITERAL> withOneMore(std::span<const LITERAL> group, LITERAL&& extra,
                                     std::vector<LITERAL>& buffer) {
    buffer.assign(group.begin(), group.end());
    buffer.push_back(std::move(extra));
    return buffer;
}

std::vector<LITERAL> positiveBuffer, negatedBuffer;

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
    const ATOM head(rho, V, IDB);
    const BODY_VIEW body = r.body() ? *r.body() : BODY_VIEW();
    const std::string gamma = compl_updPred(p, i + 1, h.arity());
    LITERAL complement(ATOM(gamma, h.args.get(), IDB), false);

    // The complementary literal goes after the positive literals of r.
    const auto positive = withOneMore(body.literals.first(body.firstNegated), std::move(complement),
                                      positiveBuffer);
    Pupd.emplace_back(std::span<const ATOM>(&head, 1), positive, body.literals.subspan(body.firstNegated));
    traceRule("Added rejection rule ", Pupd.back(), ToRewrittenRules);
    if (OptionMinimal || OptionStrict) createMinRejCons(rho, i + 1, m);
}

void rewriteRule(RULE& r, unsigned i, unsigned j, const std::vector<IDENT>* V, bool last) {
    const ATOM& h = headAtom(r);
    const ATOM update(updPred(h.name(), i, h.arity()), h.args.get(), IDB);

    const BODY_VIEW body = r.body() ? *r.body() : BODY_VIEW();
    std::span<const LITERAL> positive = body.literals.first(body.firstNegated);
    std::span<const LITERAL> negated = body.literals.subspan(body.firstNegated);
    // Under -min/-strict the facts of the most recent program depend on the
    // truth proposition, which the truth fact of addMinRules makes hold.
    if (!r.body() && last && (OptionMinimal || OptionStrict))
        positive = withOneMore({}, LITERAL(ATOM(truthAtom(), nullptr, IDB), false), positiveBuffer);
    if (!last)
        negated = withOneMore(negated, LITERAL(ATOM(rejectionPred(i, j, length(V)), V, IDB), true),
                              negatedBuffer);

    // The rewritten rule replaces r in its program and is shared with Pupd.
    r = RULE(std::span<const ATOM>(&update, 1), positive, negated);
    Pupd.push_back(r);
    traceRule("Added rewritten rule ", Pupd.back(), ToRewrittenRules);
}
