// The entry point of the rewriting and the rewriting of the rules of each
// update program into rewritten and rejection rules.
#include "rewriting/rewriting.hpp"

#include <algorithm>
#include <iostream>
#include <string>

#include "base/exits.hpp"
#include "common/contract.hpp"
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
    if (!head || head->atoms.size() != 1)
        throw INTERNAL_ERROR{"Update rule without a single head atom."};
    return head->atoms.front();
}

unsigned length(const ARGUMENTS& V) { return static_cast<unsigned>(V.size()); }

// A group of a body's literals with one more literal after it, in a buffer
// that serves rule after rule.
std::span<const LITERAL> withOneMore(std::span<const LITERAL> group, LITERAL&& extra,
                                     std::vector<LITERAL>& buffer) {
    buffer.assign(group.begin(), group.end());
    buffer.push_back(std::move(extra));
    return buffer;
}

std::vector<LITERAL> positiveBuffer, negatedBuffer;

constexpr unsigned Unknown = UnknownPredicate;

// The predicate numbers of the generated atoms of a rule, once they have
// been made: the update atom of its head, the complementary update atom of
// the next program and its rejection atom. A program's rules with the same
// head predicate share the first two, so that only the first of them makes
// the names and registers the atoms (see GeneratedAtom).
struct RULE_ATOMS {
    unsigned update = Unknown;
    unsigned complement = Unknown;
    unsigned rejection = Unknown;
};

// The shared atoms of the program being rewritten, by head predicate; an
// entry belongs to the program whose pass wrote it, so that no pass needs
// to empty the list for the next.
struct SHARED_ATOMS {
    unsigned pass = 0;
    RULE_ATOMS atoms;
};
std::vector<SHARED_ATOMS> sharedAtoms;
unsigned passes = 0;

// Makes the generated atoms of the rejection rule of rule j of program i:
// its head, the rejection atom over the rule's variables V, and the update
// atom of the complement of r's head at the next program. known: the
// generated atoms' predicates made already (see RULE_ATOMS), completed with
// those made here. The rule itself is written from the rewritten rule (see
// REJECTION_MARKS).
void makeRejectionAtoms(const RULE& r, unsigned i, unsigned j, const ARGUMENTS& V,
                        RULE_ATOMS& known) {
    const ATOM& h = headAtom(r);
    known.rejection = RejectionAtom(i, j, V).predicate;
    GeneratedAtom(
        known.complement, [&] { return ComplementUpdateAtom(h.predicate, i + 1, h.args); }, h.args);
}

// The rejection rule of the program's last rule, its rewritten form, stands
// before it; with -min or -strict its minimality rejection constraint
// follows. m: the number of the rule's variables.
void addRejectionRule(REWRITING& R, unsigned i, unsigned m) {
    RULES& rules = R.translation.rules;
    R.translation.rejections.mark(rules.size() - 1);
    const RULE& rewritten = rules.back();
    if (R.settings.debug)
        traceRule(R, "Added rejection rule ", rejectionRule(rewritten), ToRewrittenRules);
    const ATOM& rejection = rewritten.body()->literals.back();
    if (R.minimality()) createMinRejCons(R, rejection.name(), i + 1, m);
}

// Turns r into its rewritten form and appends a copy to the translation's
// rules; last is true
// for the most recent program. V and known as for makeRejectionAtoms.
void rewriteRule(REWRITING& R, RULE& r, unsigned i, unsigned j, const ARGUMENTS& V, bool last,
                 RULE_ATOMS& known) {
    const ATOM& h = headAtom(r);
    const ATOM update = GeneratedAtom(
        known.update, [&] { return UpdateAtom(h.predicate, i, h.args); }, h.args);

    const BODY_VIEW body = r.body() ? *r.body() : BODY_VIEW();
    std::span<const LITERAL> positive = body.literals.first(body.firstNegated);
    std::span<const LITERAL> negated = body.literals.subspan(body.firstNegated);
    // Under -min/-strict the facts of the most recent program depend on the
    // truth proposition, which the truth fact of addMinRules makes hold.
    if (!r.body() && last && R.minimality())
        positive = withOneMore({}, LITERAL(ATOM(TruthPredicateName(), std::nullopt, IDB), false),
                               positiveBuffer);
    if (!last) {
        ATOM rejection = GeneratedAtom(
            known.rejection, [&] { return RejectionAtom(i, j, V); }, V);
        negated = withOneMore(negated, LITERAL(std::move(rejection), true), negatedBuffer);
    }

    // The rewritten rule replaces r in its program and is shared with the
    // translation; a choice element stays a choice of the update atom.
    RULE rewritten(std::span<const ATOM>(&update, 1), positive, negated);
    r = r.isChoice() ? rewritten.asChoice() : std::move(rewritten);
    R.translation.rules.push_back(r);
    if (!last) addRejectionRule(R, i, length(V));
    traceRule(R, "Added rewritten rule ", R.translation.rules.back(), ToRewrittenRules);
}

// A predicate whose update names no other predicate's can be: no leading
// '-' and no "_P" (the last "_P" of an update name marks where its
// predicate ends).
bool plainPredicate(std::string_view name) {
    return !name.starts_with('-') && !HasProgramMark(name);
}

// The plain predicates that the inertia rules will surely select: every
// one of the input, or with -O=succint those that head a rule (the update
// names of a head are made from it).
std::size_t plainSelectedPredicates(const std::vector<UPDATE_PROGRAM>& ids, OPTIMIZATION optimize) {
    const PREDICATE_NAMES& P = ATOM::Predicates;
    std::size_t plain = 0;
    if (optimize != OPTIMIZATION::SUCCINT) {
        for (unsigned n = 0; n < P.size(); ++n)
            if (IsOriginal(n) && plainPredicate(P.text(n))) ++plain;
        return plain;
    }
    std::vector<bool> counted(P.size());
    for (const UPDATE_PROGRAM& program : ids) {
        if (!program.rules) continue;
        for (const RULE& r : *program.rules) {
            const auto head = r.head();
            if (!head || head->atoms.size() != 1) continue;
            const unsigned p = head->atoms[0].predicate;
            if (p >= P.size() || counted[p] || !plainPredicate(P.text(p))) continue;
            counted[p] = true;
            ++plain;
        }
    }
    return plain;
}

}  // namespace

void UpdateRewriting(std::vector<UPDATE_PROGRAM>& ids, std::vector<CONSTRAINT>& inputConstraints,
                     const REWRITING_SETTINGS& settings, TRANSLATION& translation) {
    REWRITING R{translation, settings};
    translation.notation = settings.notation;
    if (translation.constraints.empty()) translation.constraints = std::move(inputConstraints);
    else
        for (CONSTRAINT& c : inputConstraints) translation.constraints.push_back(std::move(c));
    inputConstraints.clear();
    const unsigned N = static_cast<unsigned>(ids.size());
    if (settings.debug) std::cerr << '\n' << "Update Rewriting." << '\n';
    // Each rule of a program but the last gets a rejection name of its own,
    // numbered in its program's range; each update name is a place in the
    // block of its base, one place per program. The rules receive a rewritten
    // rule per rule (its rejection rule is written from it), and with -min
    // or -strict each rejection name brings a minimality name: all sized
    // once, so that nothing large regrows while it fills.
    updatePredicates.setSpan(N);
    std::size_t rejections = 0, rules = 0;
    for (unsigned i = 0; i < N; ++i)
        if (ids[i].rules) {
            const std::size_t count = ids[i].rules->size();
            rules += count;
            if (i + 1 < N) {
                rejections += count;
                updatePredicates.reserveRejections(i, static_cast<unsigned>(count));
            }
        }
    updatePredicates.reserveBases(2 * plainSelectedPredicates(ids, settings.optimize) + 1);
    if (R.minimality()) ATOM::Predicates.reserve(ATOM::Predicates.size() + rejections);
    translation.rules.reserve(translation.rules.size() + rules + 1);  // and the truth fact
    // Every head predicate is known before the first generated name.
    if (sharedAtoms.size() < ATOM::Predicates.size()) sharedAtoms.resize(ATOM::Predicates.size());
    for (unsigned i = 0; i < N; ++i) {
        UpdateRewritingRules(R, ids[i], i, N);
        if (settings.strict) addLevelRules(R, i + 1);
    }
    // The shared atoms serve the rules' passes only; the inertia rules that
    // follow make most of a large run's names.
    sharedAtoms = std::vector<SHARED_ATOMS>();
    UpdateRewritingPropagation(R, N);
    if (R.minimality()) addMinRules(R, N);
    if (settings.strongNegationConstraints) addStrongNegCons(R);
    if (settings.debug) std::cerr << "Update Rewriting finished." << '\n' << '\n';
}

void UpdateRewritingRules(REWRITING& R, UPDATE_PROGRAM& program, unsigned i, unsigned N) {
    const bool last = i + 1 == N;
    if (!program.rules) return;
    RULES& rules = *program.rules;
    const unsigned pass = ++passes;
    // The entries of a large program's many head predicates are met in no
    // order: they are fetched from memory a few rules ahead, and what
    // making their update names reads half as far ahead, once the bases
    // fetched have arrived.
    constexpr std::size_t Ahead = 8;
    // The head predicate of rule k, if it is known and has a shared entry.
    // Only a look: a rule without a single head atom is reported when its
    // turn comes.
    auto headOf = [&](std::size_t k) {
        const auto head = rules[k].head();
        const bool known =
            head && head->atoms.size() == 1 && head->atoms[0].predicate < sharedAtoms.size();
        return known ? head->atoms[0].predicate : Unknown;
    };
    for (std::size_t j = 0; j < rules.size(); ++j) {
        if (j + Ahead < rules.size())
            if (const unsigned near = headOf(j + Ahead); near != Unknown) {
                __builtin_prefetch(&sharedAtoms[near]);
                PrefetchUpdateBases(near);
                ATOM::Predicates.prefetchText(near);
            }
        if (j + Ahead / 2 < rules.size())
            if (const unsigned near = headOf(j + Ahead / 2); near != Unknown)
                PrefetchUpdateNames(near, i);
        auto V = variables(rules[j]);
        const unsigned head = headAtom(rules[j]).predicate;
        if (head >= sharedAtoms.size()) sharedAtoms.resize(head + 1);
        SHARED_ATOMS& entry = sharedAtoms[head];
        if (entry.pass != pass) entry = {pass, RULE_ATOMS{}};
        RULE_ATOMS& shared = entry.atoms;
        RULE_ATOMS known{shared.update, shared.complement, Unknown};
        if (!last) makeRejectionAtoms(rules[j], i, static_cast<unsigned>(j), V, known);
        rewriteRule(R, rules[j], i, static_cast<unsigned>(j), V, last, known);
        shared.update = known.update;
        shared.complement = known.complement;
    }
}
