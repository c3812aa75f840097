#include "evaluation/clingo/simplify.hpp"

#include <algorithm>
#include <functional>
#include <string_view>
#include <unordered_set>
#include <vector>

namespace vok::evaluation {

namespace {

// Passes over the program, each of which may find rules dead because of
// those found in the pass before. The first pass finds nearly all of them
// in an update sequence; a bound keeps long chains from making it
// quadratic (what is left in is merely not simplified).
constexpr int MaxPasses = 4;

// A rule that may be left out or lose literals (isGroundWithBody).
bool changeable(const RULE& rule) { return isGroundWithBody(rule); }

std::size_t keyOf(const ATOM& a) { return std::size_t(a.predicate.number) * 2 + a.stronglyNegated; }

struct ATOM_HASH {
    std::size_t operator()(const ATOM* a) const {
        std::size_t h = keyOf(*a) * 0x9E3779B97F4A7C15u;
        for (const TERM& t : a->args)
            h = (h ^ std::hash<std::string_view>{}(t.text) ^ static_cast<std::size_t>(t.value)) *
                0x100000001b3u;
        return h;
    }
};
struct SAME_ATOM {
    bool operator()(const ATOM* a, const ATOM* b) const {
        return keyOf(*a) == keyOf(*b) && sameTerms(a->args, b->args);
    }
};

// What may hold: per predicate name and sign (of any arity, which errs
// only towards keeping), how many live rules have it in their head; and for
// the predicates that a ground rule uses positively and that head only
// ground live rules (the facts of an update), which atoms those are, so
// that only the rejection rules of the facts an update names stay.
struct HEADS {
    std::vector<std::uint32_t> count;
    std::vector<bool> groundOnly;  // empty until the atoms are noted
    std::unordered_set<const ATOM*, ATOM_HASH, SAME_ATOM> atoms;
};

// Whether a may be true: never when no live rule heads it; for a ground
// atom of a predicate noted atom by atom, only when it is among the heads.
bool mayHold(const HEADS& heads, const ATOM& a) {
    const std::size_t key = keyOf(a);
    if (heads.count[key] == 0) return false;
    if (heads.groundOnly.empty() || !heads.groundOnly[key] || !isPlainGround(a.args)) return true;
    return heads.atoms.contains(&a);
}

// A rule is live until found never to apply: dead ones (ground, without
// builtins) are left out of the text; inert ones (any other) stay in it, as
// their translation must still be checked, but their heads count no more.
enum class STATE : std::uint8_t { LIVE, DEAD, INERT };

struct ANALYSIS {
    HEADS heads;
    std::vector<STATE> state;
};

bool neverApplies(const HEADS& heads, const RULE& rule) {
    for (const LITERAL& l : rule.body)
        if (!l.isBuiltin && !l.negated && !mayHold(heads, l.atom)) return true;
    return false;
}

// One pass: marks the live rules that never apply; false when none.
bool markNeverApplying(const PROGRAM& program, ANALYSIS& an) {
    bool found = false;
    for (std::size_t i = 0; i < program.rules.size(); ++i) {
        const RULE& rule = program.rules[i];
        if (an.state[i] != STATE::LIVE || rule.body.empty() || !neverApplies(an.heads, rule))
            continue;
        an.state[i] = changeable(rule) ? STATE::DEAD : STATE::INERT;
        for (const ATOM& a : rule.head) --an.heads.count[keyOf(a)];
        found = true;
    }
    return found;
}

// The heads of the live rules, atom by atom, for the predicates where that
// tells more than their count. (Atoms of rules found dead later stay in,
// which errs only towards keeping.)
void noteGroundHeads(const PROGRAM& program, ANALYSIS& an) {
    const std::size_t keys = an.heads.count.size();
    std::vector<bool> groundOnly(keys, true), usedPositively(keys, false);
    for (std::size_t i = 0; i < program.rules.size(); ++i) {
        if (an.state[i] != STATE::LIVE) continue;
        const RULE& rule = program.rules[i];
        for (const ATOM& a : rule.head)
            if (!isPlainGround(a.args)) groundOnly[keyOf(a)] = false;
        if (changeable(rule))
            for (const LITERAL& l : rule.body)
                if (!l.negated) usedPositively[keyOf(l.atom)] = true;
    }
    for (std::size_t k = 0; k < keys; ++k) groundOnly[k] = groundOnly[k] && usedPositively[k];
    for (std::size_t i = 0; i < program.rules.size(); ++i)
        if (an.state[i] == STATE::LIVE)
            for (const ATOM& a : program.rules[i].head)
                if (groundOnly[keyOf(a)]) an.heads.atoms.insert(&a);
    an.heads.groundOnly = std::move(groundOnly);
}

// Counts first, as far as a few passes get; then atom by atom, once.
ANALYSIS analyse(const PROGRAM& program) {
    ANALYSIS an{{std::vector<std::uint32_t>(std::size_t(program.names) * 2, 0), {}, {}},
                std::vector<STATE>(program.rules.size(), STATE::LIVE)};
    for (const RULE& rule : program.rules)
        for (const ATOM& a : rule.head) ++an.heads.count[keyOf(a)];
    for (int pass = 0; pass < MaxPasses; ++pass)
        if (!markNeverApplying(program, an)) break;
    noteGroundHeads(program, an);
    markNeverApplying(program, an);
    return an;
}

// The rule without its "not a" literals whose a can never hold.
RULE withoutTrueLiterals(const RULE& rule, const HEADS& heads, std::vector<LITERAL>& scratch,
                         BLOCKS<LITERAL>& literals) {
    scratch.clear();
    for (const LITERAL& l : rule.body)
        if (!l.negated || mayHold(heads, l.atom)) scratch.push_back(l);
    if (scratch.size() == rule.body.size()) return rule;
    RULE kept = rule;
    kept.body = keep(literals, std::span<const LITERAL>(scratch));
    return kept;
}

}  // namespace

std::optional<PROGRAM> WithoutDeadRules(const PROGRAM& program) {
    if (!EveryNameNumbered(program)) return std::nullopt;
    const ANALYSIS an = analyse(program);
    PROGRAM kept;
    kept.names = program.names;
    // Room for the rules kept and no more: a large knowledge base loses
    // half of its rules here.
    kept.rules.reserve(static_cast<std::size_t>(
        std::count_if(an.state.begin(), an.state.end(), [](STATE s) { return s != STATE::DEAD; })));
    std::vector<LITERAL> scratch;
    bool changed = false;
    for (std::size_t i = 0; i < program.rules.size(); ++i) {
        const bool dead = an.state[i] == STATE::DEAD;
        changed = changed || dead;
        if (dead) continue;
        const RULE& rule = program.rules[i];
        kept.rules.push_back(
            changeable(rule) ? withoutTrueLiterals(rule, an.heads, scratch, kept.store->literals)
                             : rule);
        changed = changed || kept.rules.back().body.size() != rule.body.size();
    }
    if (!changed) return std::nullopt;
    return kept;
}

bool EveryNameNumbered(const PROGRAM& program) {
    for (const RULE& rule : program.rules) {
        for (const ATOM& a : rule.head)
            if (a.predicate.number >= program.names) return false;
        for (const LITERAL& l : rule.body)
            if (!l.isBuiltin && l.atom.predicate.number >= program.names) return false;
    }
    return true;
}

}  // namespace vok::evaluation
