#include "evaluation/clingo/settled.hpp"

#include <algorithm>
#include <cstdint>
#include <functional>
#include <memory>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

#include "evaluation/clingo/names.hpp"
#include "evaluation/clingo/simplify.hpp"

namespace vok::evaluation {

namespace {

constexpr std::uint32_t NoPredicate = UINT32_MAX;

// Terms that clingo prints as the file writes them.
bool isValue(const TERM& t) {
    return t.kind == TERM::KIND::CONSTANT || t.kind == TERM::KIND::INTEGER ||
           t.kind == TERM::KIND::STRING;
}

bool sameValue(const TERM& a, const TERM& b) {
    if (a.kind != b.kind) return false;
    return a.kind == TERM::KIND::INTEGER ? a.value == b.value : a.text == b.text;
}

bool occursIn(const TERM& variable, TERMS args) {
    return std::any_of(args.begin(), args.end(), [&](const TERM& t) {
        return t.kind == TERM::KIND::VARIABLE && t.text == variable.text;
    });
}

// A fact of values, or a rule with one positive body atom whose head
// takes its values from the body or from constants.
bool isSettling(const RULE& rule) {
    if (rule.choice || rule.head.size() != 1 || rule.body.size() > 1) return false;
    const TERMS head = rule.head[0].args;
    if (rule.body.empty()) return std::all_of(head.begin(), head.end(), isValue);
    const LITERAL& l = rule.body[0];
    if (l.negated || l.isBuiltin || l.isAggregate || l.doubled) return false;
    const TERMS body = l.atom.args;
    return std::all_of(
               body.begin(), body.end(),
               [](const TERM& t) { return isValue(t) || t.kind == TERM::KIND::VARIABLE; }) &&
           std::all_of(head.begin(), head.end(), [&](const TERM& t) {
               return isValue(t) || (t.kind == TERM::KIND::VARIABLE && occursIn(t, body));
           });
}

// The predicates of the program (name, arity and sign, as clingo tells
// them apart), numbered in order of first occurrence.
struct PREDICATES {
    std::unordered_map<std::uint64_t, std::uint32_t> number;
    std::vector<const ATOM*> first;  // an atom of each, for its name
};

std::uint64_t keyOf(const ATOM& a) {
    return std::uint64_t(a.predicate.number) << 32 | std::uint64_t(a.args.size()) << 1 |
           (a.stronglyNegated ? 1u : 0u);
}

std::uint32_t predicateOf(PREDICATES& p, const ATOM& a) {
    auto [it, fresh] = p.number.emplace(keyOf(a), static_cast<std::uint32_t>(p.first.size()));
    if (fresh) p.first.push_back(&a);
    return it->second;
}

// The same name and arity with the other sign, if the program has it.
std::uint32_t complementOf(const PREDICATES& p, std::uint32_t n) {
    auto it = p.number.find(keyOf(*p.first[n]) ^ 1u);
    return it == p.number.end() ? NoPredicate : it->second;
}

// The rules as the analysis sees them: per rule whether it settles and,
// for a settling rule, its head and body predicates.
struct RULES {
    std::vector<bool> settling;
    std::vector<std::uint32_t> head, body;                   // NoPredicate for a fact's body
    std::vector<std::vector<std::uint32_t>> byBody, byHead;  // settling rules with a body
};

RULES rulesOf(const PROGRAM& program, PREDICATES& preds) {
    RULES r;
    const std::size_t n = program.rules.size();
    r.settling.resize(n);
    r.head.assign(n, NoPredicate);
    r.body.assign(n, NoPredicate);
    for (std::size_t i = 0; i < n; ++i) {
        const RULE& rule = program.rules[i];
        for (const ATOM& a : rule.head) predicateOf(preds, a);
        for (const LITERAL& l : rule.body)
            if (!l.isBuiltin) predicateOf(preds, l.atom);
        r.settling[i] = isSettling(rule);
        if (!r.settling[i]) continue;
        r.head[i] = predicateOf(preds, rule.head[0]);
        if (!rule.body.empty()) r.body[i] = predicateOf(preds, rule.body[0].atom);
    }
    r.byBody.resize(preds.first.size());
    r.byHead.resize(preds.first.size());
    for (std::uint32_t i = 0; i < n; ++i)
        if (r.settling[i] && r.body[i] != NoPredicate) {
            r.byBody[r.body[i]].push_back(i);
            r.byHead[r.head[i]].push_back(i);
        }
    return r;
}

// Per predicate whether it is settled: none that a rule of another kind
// heads, nor any that a settling rule derives from an unsettled one.
std::vector<bool> settledPredicates(const PROGRAM& program, PREDICATES& preds, const RULES& r) {
    std::vector<bool> settled(preds.first.size(), true);
    std::vector<std::uint32_t> unsettled;
    auto unsettle = [&](std::uint32_t p) {
        if (!settled[p]) return;
        settled[p] = false;
        unsettled.push_back(p);
    };
    for (std::size_t i = 0; i < program.rules.size(); ++i)
        if (!r.settling[i])
            for (const ATOM& a : program.rules[i].head) unsettle(predicateOf(preds, a));
    while (!unsettled.empty()) {
        const std::uint32_t p = unsettled.back();
        unsettled.pop_back();
        for (std::uint32_t i : r.byBody[p]) unsettle(r.head[i]);
    }
    return settled;
}

// A ground atom of M: its predicate and its values.
struct GROUND {
    std::uint32_t predicate;
    TERMS args;
};

std::size_t hashOf(const GROUND& g) {
    std::size_t h = (g.predicate + 1) * 0x9E3779B97F4A7C15u;
    for (const TERM& t : g.args)
        h = (h ^ (t.kind == TERM::KIND::INTEGER ? static_cast<std::size_t>(t.value)
                                                : std::hash<std::string_view>{}(t.text))) *
            0x100000001b3u;
    return h ^ h >> 29;
}

bool sameGround(const GROUND& a, const GROUND& b) {
    return a.predicate == b.predicate && std::ranges::equal(a.args, b.args, sameValue);
}

// The atoms found so far, each once: an open-addressing index into them
// (a node per atom would cost an allocation each, and a base has
// millions), with each atom's hash kept, so that a probe reads an atom
// only when its hash agrees and growing hashes nothing again.
struct GROUND_SET {
    std::vector<GROUND> atoms;        // in the order they were found
    std::vector<std::size_t> hashes;  // by atom
    std::vector<std::uint32_t> slot;  // index + 1 into atoms; 0 when free
};

void grow(GROUND_SET& set) {
    std::vector<std::uint32_t> grown(std::max<std::size_t>(64, 2 * set.slot.size()), 0);
    const std::size_t mask = grown.size() - 1;
    for (std::uint32_t i = 0; i < set.atoms.size(); ++i) {
        std::size_t at = set.hashes[i] & mask;
        while (grown[at]) at = (at + 1) & mask;
        grown[at] = i + 1;
    }
    set.slot = std::move(grown);
}

// Adds g unless it is there already; whether it was added.
bool addGround(GROUND_SET& set, const GROUND& g) {
    if (2 * (set.atoms.size() + 1) > set.slot.size()) grow(set);
    const std::size_t hash = hashOf(g), mask = set.slot.size() - 1;
    std::size_t at = hash & mask;
    for (; set.slot[at]; at = (at + 1) & mask) {
        const std::uint32_t i = set.slot[at] - 1;
        if (set.hashes[i] == hash && sameGround(set.atoms[i], g)) return false;
    }
    set.atoms.push_back(g);
    set.hashes.push_back(hash);
    set.slot[at] = static_cast<std::uint32_t>(set.atoms.size());
    return true;
}

// The least model of the settling rules of settled predicates, in the
// order its atoms were derived, and how many each predicate has.
struct MODEL {
    GROUND_SET found;
    std::vector<std::size_t> count;  // by predicate
    // The values of derived atoms that no rule holds.
    std::unique_ptr<BLOCKS<TERM>> made = std::make_unique<BLOCKS<TERM>>();
};

// The head's values for a body atom that matches the rule's body, or
// false when it does not match.
bool derive(const RULE& rule, TERMS values, std::vector<TERM>& out) {
    const TERMS pattern = rule.body[0].atom.args;
    auto valueOf = [&](const TERM& variable) -> const TERM* {
        for (std::size_t i = 0; i < pattern.size(); ++i)
            if (pattern[i].kind == TERM::KIND::VARIABLE && pattern[i].text == variable.text)
                return &values[i];
        return nullptr;
    };
    for (std::size_t i = 0; i < pattern.size(); ++i) {
        const TERM& expected =
            pattern[i].kind == TERM::KIND::VARIABLE ? *valueOf(pattern[i]) : pattern[i];
        if (!sameValue(expected, values[i])) return false;
    }
    out.clear();
    for (const TERM& t : rule.head[0].args)
        out.push_back(t.kind == TERM::KIND::VARIABLE ? *valueOf(t) : t);
    return true;
}

MODEL leastModel(const PROGRAM& program, const RULES& r, const std::vector<bool>& settled) {
    MODEL m;
    m.count.assign(settled.size(), 0);
    auto add = [&](GROUND g) {
        if (addGround(m.found, g)) ++m.count[g.predicate];
    };
    for (std::size_t i = 0; i < program.rules.size(); ++i)
        if (r.settling[i] && r.body[i] == NoPredicate && settled[r.head[i]])
            add({r.head[i], program.rules[i].head[0].args});
    std::vector<TERM> values;
    for (std::size_t next = 0; next < m.found.atoms.size(); ++next) {
        const GROUND g = m.found.atoms[next];
        for (std::uint32_t i : r.byBody[g.predicate]) {
            if (!settled[r.head[i]] || !derive(program.rules[i], g.args, values)) continue;
            // An inertia rule copies its body's values: they need no copy.
            const bool same = std::ranges::equal(values, g.args, [](const TERM& a, const TERM& b) {
                return a.kind == b.kind && a.value == b.value && a.text.data() == b.text.data() &&
                       a.text.size() == b.text.size();
            });
            add({r.head[i], same ? g.args : keep(*m.made, std::span<const TERM>(values))});
        }
    }
    return m;
}

// Per settled predicate whether clingo must see it: a rule that stays looks
// at it, its atoms may clash with those of its complement, or a predicate
// clingo sees is derived from it.
std::vector<bool> observedPredicates(const PROGRAM& program, PREDICATES& preds, const RULES& r,
                                     const std::vector<bool>& settled, const MODEL& m) {
    const std::size_t n = preds.first.size();
    std::vector<bool> observed(n, false);
    std::vector<std::uint32_t> todo;
    auto observe = [&](std::uint32_t p) {
        if (p == NoPredicate || !settled[p] || observed[p]) return;
        observed[p] = true;
        todo.push_back(p);
    };
    for (std::size_t i = 0; i < program.rules.size(); ++i) {
        if (r.settling[i] && settled[r.head[i]]) continue;
        const RULE& rule = program.rules[i];
        for (const LITERAL& l : rule.body)
            if (!l.isBuiltin) observe(predicateOf(preds, l.atom));
        for (const ATOM& a : rule.head) observe(complementOf(preds, predicateOf(preds, a)));
    }
    for (std::uint32_t p = 0; p < n; ++p) {
        const std::uint32_t q = complementOf(preds, p);
        if (settled[p] && m.count[p] > 0 && q != NoPredicate && m.count[q] > 0) observe(p);
    }
    while (!todo.empty()) {
        const std::uint32_t p = todo.back();
        todo.pop_back();
        for (std::uint32_t i : r.byHead[p]) observe(r.body[i]);
    }
    return observed;
}

// The atoms clingo does not see, in clingo's output form.
std::string atomsText(const MODEL& m, const PREDICATES& preds, const std::vector<bool>& leftOut) {
    std::vector<std::string> names(preds.first.size());
    std::string out;
    for (const GROUND& g : m.found.atoms) {
        if (!leftOut[g.predicate]) continue;
        std::string& name = names[g.predicate];
        if (name.empty()) {
            const ATOM& a = *preds.first[g.predicate];
            name = (a.stronglyNegated ? "-" : "") + encodePredicate(a.predicate);
        }
        if (!out.empty()) out += ' ';
        out += name;
        for (std::size_t i = 0; i < g.args.size(); ++i) {
            out += i ? ',' : '(';
            appendTerm(out, g.args[i]);
        }
        if (!g.args.empty()) out += ')';
    }
    return out;
}

}  // namespace

std::optional<SETTLED_PART> WithoutSettledAtoms(const PROGRAM& program) {
    if (!EveryNameNumbered(program) ||
        std::any_of(program.rules.begin(), program.rules.end(),
                    [](const RULE& r) { return hasChoiceOrAggregate(r); }))
        return std::nullopt;
    PREDICATES preds;
    const RULES r = rulesOf(program, preds);
    const std::vector<bool> settled = settledPredicates(program, preds, r);
    const MODEL m = leastModel(program, r, settled);
    const std::vector<bool> observed = observedPredicates(program, preds, r, settled, m);
    std::vector<bool> leftOut(preds.first.size(), false);
    bool any = false;
    for (std::size_t p = 0; p < leftOut.size(); ++p) {
        leftOut[p] = settled[p] && !observed[p];
        any = any || (leftOut[p] && m.count[p] > 0);
    }
    if (!any) return std::nullopt;
    SETTLED_PART part;
    part.rest.names = program.names;
    part.rest.sourceBytes = program.sourceBytes;
    for (std::size_t i = 0; i < program.rules.size(); ++i)
        if (!(r.settling[i] && leftOut[r.head[i]])) part.rest.rules.push_back(program.rules[i]);
    part.atoms = atomsText(m, preds, leftOut);
    return part;
}

}  // namespace vok::evaluation
