// Deciding where each group of the maintained part is decided
// (maintained.hpp): kept, shared with clingo, or clingo's for good.
#include <algorithm>

#include "evaluation/session/kept_part.hpp"
#include "evaluation/session/take.hpp"

namespace vok::evaluation::engine {

namespace {

MAINTAINED& kept(SESSION& s) { return *s.maintained; }

// The literal leaves the part: out of the base, its facts to clingo.
void release(SESSION& s, STEP& step, std::uint32_t id) {
    MAINTAINED& m = kept(s);
    KEPT_LITERAL& l = m.literals[id];
    SESSION_LITERAL& sl = s.literals[id];
    touch(s, step, id);
    if (l.truth) {
        const std::uint32_t other = s.literals.knownComplement(id);
        if (other != None && other < m.literals.size() && m.literals[other].truth &&
            !sl.text.starts_with('-'))
            --m.contradictions;
    }
    l.supports.clear();
    if (sl.standing == STANDING::DYNAMIC) return;  // shared: its facts are in clingo
    if (sl.firstFact != None) {
        sl.standing = STANDING::DYNAMIC;
        for (std::uint32_t f = sl.firstFact; f != None; f = s.facts[f].next)
            step.cFacts.push_back(f);
    } else {
        sl.standing = STANDING::NONE;
    }
}

// The facts of a group that clingo reads go to clingo too, and its
// literals leave the base: clingo's answer sets hold them.
void share(SESSION& s, STEP& step, std::uint32_t g) {
    MAINTAINED& m = kept(s);
    for (std::uint32_t sig : {g, s.signatures[g].complement}) {
        if (sig == None) continue;
        for (std::uint32_t id : m.signatures[sig].literals) {
            SESSION_LITERAL& sl = s.literals[id];
            touch(s, step, id);
            if (sl.firstFact == None) {
                sl.standing = STANDING::NONE;
            } else if (sl.standing != STANDING::DYNAMIC) {
                sl.standing = STANDING::DYNAMIC;
                for (std::uint32_t f = sl.firstFact; f != None; f = s.facts[f].next)
                    step.cFacts.push_back(f);
            }
        }
    }
}

// The literals of a group that clingo's rules now read hand it their
// truths: those that hold are declared to clingo in the step.
void hand(SESSION& s, STEP& step, std::uint32_t g) {
    MAINTAINED& m = kept(s);
    for (std::uint32_t sig : {g, s.signatures[g].complement})
        if (sig != None)
            for (std::uint32_t id : m.signatures[sig].literals)
                if (m.literals[id].truth) step.handed.push_back(id);
}

// The literals of a shared group leave clingo, for the base when they
// hold. Returns whether clingo held any.
bool unshare(SESSION& s, STEP& step, std::uint32_t g) {
    MAINTAINED& m = kept(s);
    bool held = false;
    for (std::uint32_t sig : {g, s.signatures[g].complement}) {
        if (sig == None) continue;
        for (std::uint32_t id : m.signatures[sig].literals) {
            SESSION_LITERAL& sl = s.literals[id];
            held = held || sl.standing == STANDING::DYNAMIC;
            touch(s, step, id);
            sl.standing = m.literals[id].truth ? STANDING::BASE : STANDING::NONE;
        }
    }
    return held;
}

bool anyHanded(const SESSION& s, const std::uint32_t (&sigs)[2]) {
    const MAINTAINED& m = *s.maintained;
    for (std::uint32_t sig : sigs)
        if (sig != None)
            for (std::uint32_t id : m.signatures[sig].literals)
                if (s.literals[id].handed) return true;
    return false;
}

// "-p/2" for the signature.
std::string groupName(const SESSION& s, std::uint32_t sig) {
    const SESSION_SIGNATURE& n = s.signatures[sig];
    return std::string(n.negative ? "-" : "") + n.name + "/" + number(n.arity);
}

// Tarjan's strongly connected components of a graph, iteratively (a
// chain of groups may be long): each component after every one it reaches.
std::vector<std::vector<std::uint32_t>> stronglyConnected(
    const std::vector<std::vector<std::uint32_t>>& edges, const std::vector<char>& node) {
    const auto n = static_cast<std::uint32_t>(edges.size());
    std::vector<std::uint32_t> index(n, None), low(n, 0), stack;
    std::vector<char> onStack(n, 0);
    std::vector<std::pair<std::uint32_t, std::uint32_t>> calls;  // (node, next edge)
    std::vector<std::vector<std::uint32_t>> out;
    std::uint32_t counter = 0;
    auto visit = [&](std::uint32_t v) {
        index[v] = low[v] = counter++;
        stack.push_back(v);
        onStack[v] = 1;
        calls.emplace_back(v, 0);
    };
    for (std::uint32_t root = 0; root < n; ++root) {
        if (!node[root] || index[root] != None) continue;
        visit(root);
        while (!calls.empty()) {
            const std::uint32_t v = calls.back().first;
            if (calls.back().second < edges[v].size()) {
                const std::uint32_t w = edges[v][calls.back().second++];
                if (index[w] == None) visit(w);
                else if (onStack[w]) low[v] = std::min(low[v], index[w]);
                continue;
            }
            calls.pop_back();
            if (!calls.empty()) low[calls.back().first] = std::min(low[calls.back().first], low[v]);
            if (low[v] != index[v]) continue;
            out.emplace_back();
            for (std::uint32_t w = None; w != v;) {
                w = stack.back();
                stack.pop_back();
                onStack[w] = 0;
                out.back().push_back(w);
            }
        }
    }
    return out;
}

// The kept groups in components, lowest first: each after the groups its
// rules read.
std::vector<KEPT_COMPONENT> componentsOf(SESSION& s) {
    MAINTAINED& m = kept(s);
    const auto n = static_cast<std::uint32_t>(s.signatures.size());
    std::vector<char> node(n, 0), selfLoop(n, 0);
    for (std::uint32_t g = 0; g < n; ++g) node[g] = groupOf(s, g) == g && m.inClingo[g] != CLINGO;
    std::vector<std::vector<std::uint32_t>> above(n);
    for (const RULE_GROUPS& r : m.ruleGroups) {
        if (r.kept == None || r.head == None || m.inClingo[r.head] == CLINGO) continue;
        for (std::uint32_t b : r.body) {
            above[b].push_back(r.head);
            if (b == r.head) selfLoop[b] = 1;
        }
    }
    std::vector<std::vector<std::uint32_t>> found = stronglyConnected(above, node);
    std::vector<KEPT_COMPONENT> order(found.size());
    for (std::size_t i = 0; i < found.size(); ++i) {
        KEPT_COMPONENT& c = order[found.size() - 1 - i];
        c.groups = std::move(found[i]);
        c.recursive = c.groups.size() > 1 || selfLoop[c.groups[0]];
    }
    return order;
}

// Whether the part keeps the recursive component exactly, and then its
// inner signatures (c.inner): those its rules read within it, and the heads
// of the rules that read it. Kept when no rule reads the component through
// `not` and no inner signature's complement is inner: the complement's
// rules then read only lower groups (maintained.cpp, updateRecursive).
bool monotone(SESSION& s, KEPT_COMPONENT& c) {
    MAINTAINED& m = kept(s);
    std::vector<char> in(s.signatures.size(), 0), inner(s.signatures.size(), 0);
    for (std::uint32_t g : c.groups) in[g] = 1;
    for (const RULE_GROUPS& r : m.ruleGroups) {
        if (r.kept == None || r.head == None || !in[r.head]) continue;
        const KEPT_RULE& rule = m.rules[r.kept];
        bool reads = false;
        for (std::uint32_t p = 0; p < rule.body.size(); ++p) {
            const std::uint32_t sig = rule.body[p].signature;
            if (!in[groupOf(s, sig)]) continue;
            if (p >= rule.positives) return false;
            inner[sig] = 1;
            reads = true;
        }
        if (reads) inner[rule.head.signature] = 1;
    }
    c.inner.clear();
    for (std::uint32_t sig = 0; sig < inner.size(); ++sig) {
        if (!inner[sig]) continue;
        const std::uint32_t other = s.signatures[sig].complement;
        if (other != None && inner[other]) return false;
        c.inner.push_back(sig);
    }
    return true;
}

}  // namespace

// Moves the groups marked in clingo since (not in was) out of the part,
// and hands clingo the facts of those it reads since. Returns why the step
// must be grounded from scratch, or nothing.
std::string releaseGroups(SESSION& s, STEP& step, const std::vector<char>& was) {
    MAINTAINED& m = kept(s);
    std::string why;
    for (std::uint32_t g = 0; g < m.inClingo.size(); ++g) {
        const char before = g < was.size() ? was[g] : KEPT;
        if (m.inClingo[g] == SHARED && before == KEPT) share(s, step, g);
        if (m.inClingo[g] == HANDED && before != HANDED) hand(s, step, g);
        // clingo defined the literals of a shared group by its facts: a
        // new clingo takes their truths instead.
        if (m.inClingo[g] == HANDED && before == SHARED && unshare(s, step, g) && why.empty())
            why = "the part derives " + groupName(s, g) + ", whose facts clingo held";
        if (m.inClingo[g] != CLINGO || before == CLINGO) continue;
        const std::uint32_t sigs[2] = {g, s.signatures[g].complement};
        // clingo cannot take rules for the externals it was handed.
        if (before == HANDED && why.empty() && anyHanded(s, sigs))
            why = "the rules for " + groupName(s, g) + " go to clingo";
        for (std::uint32_t sig : sigs)
            if (sig != None)
                for (std::uint32_t id : m.signatures[sig].literals) release(s, step, id);
        for (std::uint32_t sig : sigs) {
            if (sig == None) continue;
            for (std::uint32_t id : m.signatures[sig].literals) {
                KEPT_LITERAL& l = m.literals[id];
                l.truth = l.changed = l.dirty = false;
                l.indexed = 0;
            }
            m.signatures[sig] = KEPT_SIGNATURE();
        }
    }
    // Rules that derive a group in clingo are clingo's; one that the part
    // held already makes clingo ground the sequence again.
    for (std::uint32_t r = 0; r < m.ruleGroups.size(); ++r) {
        RULE_GROUPS& g = m.ruleGroups[r];
        if (g.kept == None || m.inClingo[g.head] != CLINGO) continue;
        s.rules[r].kept = false;
        if (!m.rules[g.kept].fresh && why.empty())
            why = "the rules for " + groupName(s, m.rules[g.kept].head.signature) + " go to clingo";
        g.kept = None;
    }
    return why;
}

// Marks in clingo every group that a rule clingo holds derives, and every
// group that a kept rule derives from one in clingo or through a loop; one
// that clingo only reads stays kept, shared (only facts derive it: clingo
// reads its facts) or handed (kept rules derive it: clingo reads its
// truths). Sets the order of the kept groups, lowest first.
void decideGroups(SESSION& s) {
    MAINTAINED& m = kept(s);
    growTables(s);
    const auto n = static_cast<std::uint32_t>(s.signatures.size());
    for (bool again = true; again;) {
        again = false;
        auto mark = [&](std::uint32_t g) {
            if (g == None || m.inClingo[g] == CLINGO) return;
            m.inClingo[g] = CLINGO;
            again = true;
        };
        std::vector<char> derived(n, 0);
        for (const RULE_GROUPS& r : m.ruleGroups)
            if (r.kept != None && r.head != None && m.inClingo[r.head] != CLINGO)
                derived[r.head] = 1;
        for (std::uint32_t g = 0; g < n; ++g) {
            if (m.inClingo[g] != SHARED || !derived[g]) continue;
            m.inClingo[g] = HANDED;
            again = true;
        }
        // A group that clingo reads stays kept: its facts are shared when
        // only facts derive it, its truths handed when kept rules do.
        auto read = [&](std::uint32_t g) {
            if (g == None || m.inClingo[g] != KEPT) return;
            m.inClingo[g] = derived[g] ? HANDED : SHARED;
            again = true;
        };
        for (const RULE_GROUPS& r : m.ruleGroups) {
            const bool inClingo = r.kept == None || r.head == None || m.inClingo[r.head] == CLINGO;
            if (inClingo) {
                mark(r.head);
                for (std::uint32_t b : r.body) read(b);
            } else if (std::any_of(r.body.begin(), r.body.end(),
                                   [&](std::uint32_t b) { return m.inClingo[b] == CLINGO; })) {
                mark(r.head);
            }
        }
        // An aggregate or a conditional literal in clingo may read any
        // literal: every group goes to clingo, for good.
        if (s.aggregates)
            for (std::uint32_t g = 0; g < n; ++g)
                if (groupOf(s, g) == g) mark(g);
        if (again) continue;
        // The components of the kept groups, lowest first; a recursive one
        // that the part cannot keep exactly goes to clingo, with what reads it.
        m.order = componentsOf(s);
        for (KEPT_COMPONENT& c : m.order) {
            if (!c.recursive || monotone(s, c)) continue;
            for (std::uint32_t g : c.groups) mark(g);
        }
    }
}

}  // namespace vok::evaluation::engine
