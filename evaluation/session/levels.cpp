// Linking a step's contributions to the literals and their levels
// (levels.hpp).
#include "evaluation/session/levels.hpp"

#include <algorithm>
#include <utility>
#include <vector>

#include "evaluation/session/encoding.hpp"
#include "evaluation/session/literals.hpp"
#include "evaluation/session/take.hpp"

namespace vok::evaluation::engine {

namespace {

RECEIVED& receivedBy(STEP& step, std::uint32_t literal) {
    auto [at, fresh] =
        step.receivedAt.try_emplace(literal, static_cast<std::uint32_t>(step.received.size()));
    if (fresh) {
        RECEIVED r;
        r.literal = literal;
        step.received.push_back(std::move(r));
    }
    return step.received[at->second];
}

void receive(STEP& step, std::uint32_t literal, std::uint32_t level, bool inLink) {
    RECEIVED& r = receivedBy(step, literal);
    (inLink ? r.fromLink : r.fromRules) = true;
    const std::pair<std::uint32_t, bool> at{level, inLink};
    if (std::find(r.levels.begin(), r.levels.end(), at) == r.levels.end()) r.levels.push_back(at);
}

// Tarjan's components of the graph from each rule's head signature to the
// signatures of its positive body atoms.
void computeComponents(SESSION& s) {
    const std::size_t n = s.signatures.size();
    std::vector<std::vector<std::uint32_t>> edges(n);
    for (const SESSION_RULE& r : s.rules)
        if (!r.constraint)
            for (std::uint32_t b : r.positiveSignatures) edges[r.headSignature].push_back(b);
    std::vector<std::uint32_t> index(n, None), low(n, 0);
    std::vector<char> onStack(n, 0);
    std::vector<std::uint32_t> stack;
    s.components.assign(n, None);
    std::uint32_t counter = 0;
    struct FRAME {
        std::uint32_t node;
        std::size_t edge;
    };
    for (std::uint32_t root = 0; root < n; ++root) {
        if (index[root] != None) continue;
        std::vector<FRAME> frames{{root, 0}};
        index[root] = low[root] = counter++;
        stack.push_back(root);
        onStack[root] = 1;
        while (!frames.empty()) {
            FRAME& f = frames.back();
            if (f.edge < edges[f.node].size()) {
                const std::uint32_t w = edges[f.node][f.edge++];
                if (index[w] == None) {
                    index[w] = low[w] = counter++;
                    stack.push_back(w);
                    onStack[w] = 1;
                    frames.push_back({w, 0});
                } else if (onStack[w]) {
                    low[f.node] = std::min(low[f.node], index[w]);
                }
                continue;
            }
            const std::uint32_t v = f.node;
            if (low[v] == index[v]) {
                for (;;) {
                    const std::uint32_t w = stack.back();
                    stack.pop_back();
                    onStack[w] = 0;
                    s.components[w] = index[v];
                    if (w == v) break;
                }
            }
            frames.pop_back();
            if (!frames.empty())
                low[frames.back().node] = std::min(low[frames.back().node], low[v]);
        }
    }
    s.componentsValid = true;
}

// Whether the rule's head and one of its positive body atoms share a
// positive cycle of predicates.
bool mayCloseLoop(SESSION& s, const SESSION_RULE& r) {
    if (!s.componentsValid) computeComponents(s);
    const std::uint32_t head = s.components[r.headSignature];
    return std::any_of(r.positiveSignatures.begin(), r.positiveSignatures.end(),
                       [&](std::uint32_t b) { return s.components[b] == head; });
}

const SESSION_RULE* ruleOf(const SESSION& s, std::uint32_t k, std::uint32_t j) {
    if (k >= s.programs.size()) return nullptr;
    const auto& rules = s.programs[k].rules;
    auto at = std::lower_bound(rules.begin(), rules.end(), std::make_pair(j, std::uint32_t{0}));
    return at != rules.end() && at->first == j ? &s.rules[at->second] : nullptr;
}

}  // namespace

void takeContribution(SESSION& s, STEP& step, std::uint32_t call, std::uint32_t k, std::uint32_t j,
                      const SIGN& sign, std::string_view text) {
    const std::uint32_t id = s.literals.intern(text, s.signatures.of(sign));
    ++step.contributions;
    SESSION_LITERAL& l = s.literals[id];
    const bool before = l.finalHook != None && !l.finalNew;
    if (l.finalHook == None) {
        l.finalNew = true;
        l.finalHook = call;
        l.hooked = s.signatures[l.signature].bareCall != call;
        step.newFinals.push_back(id);
    }
    if (before && step.rebuild.empty()) {
        const SESSION_RULE* r = ruleOf(s, k, j);
        if (r && mayCloseLoop(s, *r))
            step.rebuild = "rule " + number(j) + " of program " + number(k) +
                           " may close a positive loop across steps";
    }
    receive(step, id, k, false);
    makeDynamic(s, step, id, step.lFacts);
    const std::uint32_t other = s.literals.knownComplement(id);
    if (other != None && s.literals[other].standing == STANDING::BASE)
        makeDynamic(s, step, other, step.lFacts);
}

namespace {
// The rows of a link call that make and join levels (see linkPart).
struct LEVEL_ROWS {
    std::string data;
    std::vector<std::uint32_t> calls;  // earlier calls whose contributions new levels take
    bool any = false;
};

// Level m of the literal: a new one (with its own hook, the contributions of
// the step at m, and what holds at the next level above), joined to the
// hook of the level below; or, when it exists, its hook takes the step's
// contributions at m. The hook of every level touched closes and a new one
// opens, once per step.
void ensureLevel(SESSION& s, LEVEL_ROWS& rows, std::uint32_t id, std::uint32_t m,
                 std::uint32_t call, std::vector<std::uint32_t>& touched) {
    std::vector<LEVEL>& levels = s.levels[id];
    const std::string_view h = s.literals[id].text;
    const std::string c = number(call);
    auto at = std::lower_bound(levels.begin(), levels.end(), m,
                               [](const LEVEL& l, std::uint32_t v) { return l.level < v; });
    auto touch = [&](LEVEL& l) {
        if (l.hook == call) return;
        row(rows.data, PRIMED::LEVEL_TOUCHED, c, number(l.level), h, number(l.hook));
        l.hook = call;
    };
    rows.any = true;
    if (at != levels.end() && at->level == m) {
        touch(*at);
        return;
    }
    row(rows.data, PRIMED::NEW_LEVEL, c, number(m), h);
    if (at != levels.end()) row(rows.data, PRIMED::LEVEL_ABOVE, c, number(m), h, number(at->level));
    at = levels.insert(at, LEVEL{m, call, call});
    if (at != levels.begin()) {
        // What holds at m holds at the level below: one made in this call
        // takes it as its next level above, an older one through its hook.
        LEVEL& below = *std::prev(at);
        if (below.made == call) {
            row(rows.data, PRIMED::LEVEL_ABOVE, c, number(below.level), h, number(m));
        } else {
            touch(below);
            row(rows.data, PRIMED::LEVEL_INSERTED, c, number(below.level), h, number(m));
        }
    }
    touched.push_back(id);
}

// The levels of a literal that gets them now: those of its contributions
// (recorded, and of the step) and those its complement's contributions ask
// about (the complement's level + 1), each with what it holds.
void makeLevels(SESSION& s, LEVEL_ROWS& rows, std::uint32_t id, std::uint32_t other,
                const STEP& step, std::uint32_t call, std::vector<std::uint32_t>& touched) {
    std::vector<std::uint32_t> wanted;
    const std::string_view h = s.literals[id].text;
    const std::string c = number(call);
    for (std::uint32_t i = s.literals[id].firstRecord; i != None; i = s.records[i].next) {
        const LEVEL_RECORD& record = s.records[i];
        if (record.level == 0) continue;
        wanted.push_back(record.level);
        row(rows.data, PRIMED::LEVEL_RECORDED, c, number(record.call), number(record.level), h);
        if (std::find(rows.calls.begin(), rows.calls.end(), record.call) == rows.calls.end())
            rows.calls.push_back(record.call);
    }
    for (std::uint32_t i = s.literals[other].firstRecord; i != None; i = s.records[i].next)
        wanted.push_back(s.records[i].level + 1);
    for (std::uint32_t literal : {id, other}) {
        auto r = step.receivedAt.find(literal);
        if (r == step.receivedAt.end()) continue;
        for (const auto& [m, inLink] : step.received[r->second].levels)
            if (literal == other) wanted.push_back(m + 1);
            else if (m > 0) wanted.push_back(m);
    }
    std::sort(wanted.begin(), wanted.end());
    wanted.erase(std::unique(wanted.begin(), wanted.end()), wanted.end());
    s.literals[id].chained = true;
    std::vector<LEVEL>& levels = s.levels[id];
    for (std::size_t i = 0; i < wanted.size(); ++i) {
        row(rows.data, PRIMED::NEW_LEVEL, c, number(wanted[i]), h);
        if (i + 1 < wanted.size())
            row(rows.data, PRIMED::LEVEL_ABOVE, c, number(wanted[i]), h, number(wanted[i + 1]));
        levels.push_back(LEVEL{wanted[i], call, call});
    }
    rows.any = rows.any || !wanted.empty();
    touched.push_back(id);
}

// Keeps a step's contributions to a literal without levels, for the levels
// made later.
void recordLevels(SESSION& s, const RECEIVED& r, std::uint32_t rulesCall, std::uint32_t call) {
    SESSION_LITERAL& l = s.literals[r.literal];
    for (const auto& [m, inLink] : r.levels) {
        s.records.push_back({inLink ? call : rulesCall, m, l.firstRecord});
        l.firstRecord = static_cast<std::uint32_t>(s.records.size() - 1);
    }
}

// The finals of the literals that received contributions: defined here for
// those that have none yet, otherwise through their open hook.
void linkFinals(SESSION& s, STEP& step, std::string& data, std::vector<std::uint32_t>& linked,
                std::uint32_t call, bool& hooks) {
    const std::string c = number(call);
    for (const RECEIVED& r : step.received) {
        SESSION_LITERAL& l = s.literals[r.literal];
        const std::string_view h = l.text;
        if (l.finalHook == None) {
            l.finalHook = call;
            l.hooked = true;
            step.newFinals.push_back(r.literal);
            linked.push_back(r.literal);
            row(data, PRIMED::FINAL_HERE, c, h);
        } else if (!l.finalNew || r.fromLink) {
            if (!l.hooked) {
                // The literal was defined for good: clingo takes no more
                // rules for it. Its predicate's literals get hooks from now.
                s.signatures[l.signature].hooked = true;
                if (step.rebuild.empty())
                    step.rebuild = std::string(h) +
                                   " gained a contribution after it was defined without a hook "
                                   "for later ones (one of many facts that no rule derived)";
                continue;
            }
            row(data, PRIMED::FINAL_JOINED, c, h, number(l.finalHook), l.finalNew ? "0" : "1");
            l.finalHook = call;
            hooks = true;
        }
    }
}

// Levels only matter to a literal whose complement has contributions too
// (they decide whether the complement's rules are rejected): a literal gets
// its levels when both have contributions, and keeps a record of its
// contributions until then. A literal with levels has one at the level of
// each contribution (so that the newest program where it holds is a level
// of it) and at each level its complement's rules ask about.
void linkLevels(SESSION& s, STEP& step, LEVEL_ROWS& rows, std::uint32_t rulesCall,
                std::uint32_t call, std::vector<std::uint32_t>& touched) {
    std::vector<std::pair<std::uint32_t, std::uint32_t>> pairs;  // (literal, complement) to level
    for (const RECEIVED& r : step.received) {
        if (s.literals[r.literal].chained) continue;
        const std::uint32_t other = s.literals.knownComplement(r.literal);
        if (other == None || s.literals[other].finalHook == None) continue;
        pairs.emplace_back(r.literal, other);
        pairs.emplace_back(other, r.literal);
    }
    std::sort(pairs.begin(), pairs.end());
    pairs.erase(std::unique(pairs.begin(), pairs.end()), pairs.end());
    auto leveledNow = [&](std::uint32_t id) {
        auto at =
            std::lower_bound(pairs.begin(), pairs.end(), std::make_pair(id, std::uint32_t{0}));
        return at != pairs.end() && at->first == id;
    };
    // Literals that had levels: their contributions, then what their
    // complement's contributions ask about.
    for (const RECEIVED& r : step.received) {
        if (!s.literals[r.literal].chained || leveledNow(r.literal)) continue;
        for (const auto& [m, inLink] : r.levels)
            if (m > 0) ensureLevel(s, rows, r.literal, m, call, touched);
    }
    for (const RECEIVED& r : step.received) {
        const std::uint32_t other = s.literals.knownComplement(r.literal);
        if (other == None || !s.literals[other].chained || leveledNow(other)) continue;
        for (const auto& [m, inLink] : r.levels) ensureLevel(s, rows, other, m + 1, call, touched);
    }
    for (const auto& [id, other] : pairs) makeLevels(s, rows, id, other, step, call, touched);
    for (const auto& [id, other] : pairs) {
        s.literals[id].firstRecord = None;
        (void)other;
    }
    for (const RECEIVED& r : step.received)
        if (!s.literals[r.literal].chained) recordLevels(s, r, rulesCall, call);
}

// The levels of the literals, by literal, as the script reads them to find
// the newest program where a literal holds: "levels M1,M2,... H".
std::string levelsCommand(const SESSION& s, std::vector<std::uint32_t>& touched) {
    std::sort(touched.begin(), touched.end());
    touched.erase(std::unique(touched.begin(), touched.end()), touched.end());
    std::string out;
    for (std::uint32_t id : touched) {
        const std::vector<LEVEL>& levels = s.levels.at(id);
        out += "levels ";
        for (std::size_t i = 0; i < levels.size(); ++i)
            out += (i ? "," : "") + number(levels[i].level);
        out += " " + std::string(s.literals[id].text) + "\n";
    }
    return out;
}

// The rules by which the open hooks of older finals take the step's
// contributions: those of the link call and, for a literal first defined
// before this step, those of the call of the rules.
void putHookRules(std::string& out, std::string_view c, std::string_view x) {
    const std::string_view hook = primed(PRIMED::FINAL_HOOK), joined = primed(PRIMED::FINAL_JOINED),
                           contributes = primed(PRIMED::CONTRIBUTES);
    put(out, hook, "(G,H) :- ", joined, c, "(H,G,1), ", contributes, x, "(K,J,H).\n");
    put(out, hook, "(G,H) :- ", joined, c, "(H,G,F), ", contributes, c, "(K,J,H).\n");
    put(out, hook, "(G,H) :- ", joined, c, "(H,G,F), ", hook, "(", c, ",H).\n");
    put(out, "#external ", hook, "(", c, ",H) : ", joined, c, "(H,G,F).\n");
}

// The rules of the levels (l': a new level, u': the next level above,
// t': an existing level whose hook closes, i': a new level above it, k':
// a level's hook):
//   h'(M,H) :- l'(M,H), o'(M,J,H).        a new level M: the step's contributions at M,
//   h'(M,H) :- l'(M,H), k'(N,M,H).        its hook for later ones,
//   h'(M,H) :- u'(M,H,M1), h'(M1,H).      what holds at the next level above;
//   k'(G,M,H) :- t'(M,H,G), o'(M,J,H).    an existing level: its old hook takes the step's
//   k'(G,M0,H) :- t'(M0,H,G), i'(M0,H,M), h'(M,H).   contributions and a new level above it,
//   k'(G,M,H) :- t'(M,H,G), k'(N,M,H).    and passes on to a new hook.
void putLevelRules(std::string& out, const LEVEL_ROWS& rows, std::string_view c,
                   std::string_view x) {
    const std::string_view holds = primed(PRIMED::HOLDS), contributes = primed(PRIMED::CONTRIBUTES),
                           level = primed(PRIMED::NEW_LEVEL), hook = primed(PRIMED::LEVEL_HOOK),
                           touched = primed(PRIMED::LEVEL_TOUCHED);
    for (const std::string_view o : {x, c}) {
        put(out, holds, "(M,H) :- ", level, c, "(M,H), ", contributes, o, "(M,J,H).\n");
        put(out, hook, "(G,M,H) :- ", touched, c, "(M,H,G), ", contributes, o, "(M,J,H).\n");
    }
    // Contributions of earlier steps to literals that get their levels now.
    for (std::uint32_t n : rows.calls)
        put(out, holds, "(M,H) :- ", primed(PRIMED::LEVEL_RECORDED), c, "(", number(n), ",M,H), ",
            contributes, number(n), "(M,J,H).\n");
    put(out, holds, "(M,H) :- ", level, c, "(M,H), ", hook, "(", c, ",M,H).\n");
    put(out, "#external ", hook, "(", c, ",M,H) : ", level, c, "(M,H).\n");
    put(out, holds, "(M,H) :- ", primed(PRIMED::LEVEL_ABOVE), c, "(M,H,M1), ", holds, "(M1,H).\n");
    put(out, hook, "(G,M0,H) :- ", touched, c, "(M0,H,G), ", primed(PRIMED::LEVEL_INSERTED), c,
        "(M0,H,M), ", holds, "(M,H).\n");
    put(out, hook, "(G,M,H) :- ", touched, c, "(M,H,G), ", hook, "(", c, ",M,H).\n");
    put(out, "#external ", hook, "(", c, ",M,H) : ", touched, c, "(M,H,G).\n");
}

// The literals defined in this step: level 0 is the literal, which never
// holds together with its complement (clingo adds that constraint only
// when the complement is grounded later than the literal); those the link
// call defines take their first contributions here.
void putDefinitions(SESSION& s, std::string& out, const STEP& step,
                    const std::vector<std::uint32_t>& linked, std::string_view c) {
    const std::string_view holds = primed(PRIMED::HOLDS), in = primed(PRIMED::DEFINED_IN),
                           here = primed(PRIMED::FINAL_HERE), hook = primed(PRIMED::FINAL_HOOK);
    std::vector<char> done(s.signatures.size(), 0), inLink(s.signatures.size(), 0);
    for (std::uint32_t id : linked) inLink[s.literals[id].signature] = 1;
    // One row per literal; the later calls' mark of what is defined follows
    // from the rows by one rule (half the statements clingo reads).
    if (!step.newFinals.empty()) put(out, primed(PRIMED::DEFINED), "(H) :- ", in, c, "(H).\n");
    for (std::uint32_t id : step.newFinals) {
        const std::string_view h = s.literals[id].text;
        put(out, in, c, "(", h, ").\n");
        const std::uint32_t sig = s.literals[id].signature;
        if (done[sig]) continue;
        done[sig] = 1;
        const std::string p = pattern(s.signatures[sig]);
        put(out, holds, "(0,", p, ") :- ", in, c, "(", p, "), ", p, ".\n");
        put(out, ":- ", in, c, "(", p, "), ", p, ", ", pattern(s.signatures[sig], true), ".\n");
        if (inLink[sig]) {
            put(out, p, " :- ", here, c, "(", p, "), ", primed(PRIMED::CONTRIBUTES), c, "(K,J,", p,
                ").\n");
            put(out, p, " :- ", here, c, "(", p, "), ", hook, "(", c, ",", p, ").\n");
            put(out, "#external ", hook, "(", c, ",", p, ") : ", here, c, "(", p, ").\n");
        }
        show(s, out, sig);
    }
}

// A program's choice of a literal that a newer program, or a rule of the
// same program that is no choice, makes hold anyway adds no answer set: the
// rewriting has one update atom per program and literal, which such a rule
// makes true. These constraints make the choice there, rather than forbid
// it: the other rule's body may hold only through the choice itself (a
// positive loop such as q(X) :- q(X).), and forbidding the choice would then
// lose the answer set in which it holds. They read the contributions of both
// calls of a sequence grounded at once, the only way a sequence with a
// choice is grounded (SessionStep).
void putChoiceConstraints(std::string& out, std::string_view c, std::string_view x) {
    const std::string_view chosen = primed(PRIMED::CHOSEN), choosable = primed(PRIMED::CHOOSABLE),
                           contributes = primed(PRIMED::CONTRIBUTES);
    for (const std::string_view o : {x, c}) {
        put(out, ":- ", choosable, x, "(K,H), not ", chosen, x, "(K,H), ", contributes, o,
            "(L,J,H), K < L.\n");
        put(out, ":- ", choosable, x, "(K,H), not ", chosen, x, "(K,H), ", contributes, o,
            "(K,J,H), not ", primed(PRIMED::CHOICE_RULE), x, "(K,J).\n");
    }
}

}  // namespace

std::string linkPart(SESSION& s, STEP& step, std::uint32_t rulesCall, std::uint32_t call,
                     bool rulesGiven, std::string& levelsChanged) {
    std::string out, data;
    const std::string c = number(call), x = number(rulesCall);
    encodeFacts(s, out, step.lFacts, call);
    for (std::uint32_t f : step.lFacts) receive(step, s.facts[f].literal, s.facts[f].program, true);

    bool hooks = false;
    std::vector<std::uint32_t> linked, touched;
    linkFinals(s, step, data, linked, call, hooks);
    LEVEL_ROWS rows;
    linkLevels(s, step, rows, rulesCall, call, touched);
    if (s.config.explain) levelsChanged = levelsCommand(s, touched);
    out += data;
    out += rows.data;
    if (hooks) putHookRules(out, c, x);
    if (rows.any) putLevelRules(out, rows, c, x);
    putDefinitions(s, out, step, linked, c);
    // The handed literals declared by the call of the rules are defined
    // for the calls after it.
    if (step.declared)
        put(out, primed(PRIMED::DEFINED), "(H) :- ", primed(PRIMED::HANDED), x, "(H).\n");
    if (s.choices && rulesGiven) putChoiceConstraints(out, c, x);
    if (!step.lFacts.empty() && rejectionsWanted(s.config))
        put(out, "#show ", primed(PRIMED::REJECTED), c, "/4.\n");
    return out;
}

}  // namespace vok::evaluation::engine
