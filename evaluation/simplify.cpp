#include "simplify.hpp"

#include <vector>

namespace vok::evaluation {

namespace {

// Passes over the program, each of which may find rules dead because of
// those found in the pass before. The first pass finds nearly all of them
// in an update sequence; a bound keeps long chains from making it
// quadratic (what is left in is merely not simplified).
constexpr int MaxPasses = 4;

bool changeable(const RULE& rule) {
    if (rule.body.empty()) return false;
    auto ground = [](TERMS args) {
        for (const TERM& t : args)
            if (t.kind == TERM::KIND::VARIABLE) return false;
        return true;
    };
    for (const ATOM& a : rule.head)
        if (!ground(a.args)) return false;
    for (const LITERAL& l : rule.body)
        if (l.isBuiltin || !ground(l.atom.args)) return false;
    return true;
}

// Per predicate name and sign (of any arity, which errs only towards
// keeping), how many rules not found dead have it in their head.
struct HEADS {
    std::vector<std::uint32_t> count;
};

std::size_t keyOf(const ATOM& a) { return std::size_t(a.predicate.number) * 2 + a.stronglyNegated; }

bool mayHold(const HEADS& heads, const ATOM& a) { return heads.count[keyOf(a)] != 0; }

HEADS headsOf(const PROGRAM& program) {
    HEADS heads{std::vector<std::uint32_t>(std::size_t(program.names) * 2, 0)};
    for (const RULE& rule : program.rules)
        for (const ATOM& a : rule.head) ++heads.count[keyOf(a)];
    return heads;
}

bool numbered(const PROGRAM& program) {
    for (const RULE& rule : program.rules) {
        for (const ATOM& a : rule.head)
            if (a.predicate.number >= program.names) return false;
        for (const LITERAL& l : rule.body)
            if (!l.isBuiltin && l.atom.predicate.number >= program.names) return false;
    }
    return true;
}

bool neverApplies(const HEADS& heads, const RULE& rule) {
    for (const LITERAL& l : rule.body)
        if (!l.negated && !mayHold(heads, l.atom)) return true;
    return false;
}

std::vector<bool> deadRules(const PROGRAM& program, HEADS& heads) {
    std::vector<bool> dead(program.rules.size(), false);
    for (int pass = 0; pass < MaxPasses; ++pass) {
        bool found = false;
        for (std::size_t i = 0; i < program.rules.size(); ++i) {
            const RULE& rule = program.rules[i];
            if (dead[i] || !changeable(rule) || !neverApplies(heads, rule)) continue;
            dead[i] = found = true;
            for (const ATOM& a : rule.head) --heads.count[keyOf(a)];
        }
        if (!found) break;
    }
    return dead;
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
    if (!numbered(program)) return std::nullopt;
    HEADS heads = headsOf(program);
    const std::vector<bool> dead = deadRules(program, heads);
    PROGRAM kept;
    kept.names = program.names;
    kept.rules.reserve(program.rules.size());
    std::vector<LITERAL> scratch;
    bool changed = false;
    for (std::size_t i = 0; i < program.rules.size(); ++i) {
        changed = changed || dead[i];
        if (dead[i]) continue;
        const RULE& rule = program.rules[i];
        kept.rules.push_back(changeable(rule)
                                 ? withoutTrueLiterals(rule, heads, scratch, kept.store->literals)
                                 : rule);
        changed = changed || kept.rules.back().body.size() != rule.body.size();
    }
    if (!changed) return std::nullopt;
    return kept;
}

}  // namespace vok::evaluation
