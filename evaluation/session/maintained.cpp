// The maintained part of a session (maintained.hpp, keep.hpp).
#include "evaluation/session/maintained.hpp"

#include <algorithm>
#include <span>

#include "evaluation/session/keep.hpp"
#include "evaluation/session/kept_part.hpp"
#include "evaluation/session/take.hpp"

namespace vok::evaluation::engine {

std::uint32_t groupOf(const SESSION& s, std::uint32_t sig) {
    const std::uint32_t other = s.signatures[sig].complement;
    return other == None ? sig : std::min(sig, other);
}

void growTables(SESSION& s) {
    MAINTAINED& m = *s.maintained;
    if (m.signatures.size() < s.signatures.size()) {
        m.signatures.resize(s.signatures.size());
        m.inClingo.resize(s.signatures.size(), 0);
    }
    if (m.literals.size() < s.literals.size()) m.literals.resize(s.literals.size());
}

void SUPPORTS::add(std::uint32_t program, int delta) {
    const auto plus = [delta](std::uint32_t count) {
        return static_cast<std::uint32_t>(static_cast<std::int64_t>(count) + delta);
    };
    if (!more_) {
        if (one_.second == 0) one_.first = program;
        if (one_.first == program) {
            one_.second = plus(one_.second);
            return;
        }
        more_ = std::make_unique<std::vector<COUNT>>(1, one_);
        one_ = {};
    }
    auto at = std::lower_bound(more_->begin(), more_->end(), COUNT{program, 0});
    if (at == more_->end() || at->first != program) at = more_->insert(at, {program, 0});
    at->second = plus(at->second);
    if (at->second == 0) more_->erase(at);
    if (more_->empty()) more_.reset();
}

namespace {

MAINTAINED& kept(SESSION& s) { return *s.maintained; }

KEPT_ARG keptArg(MAINTAINED& m, const SHAPE_ARG& a) {
    if (a.variable != None) return {a.variable, None};
    return {None, valueId(m, a.text, a.kind, a.number)};
}

KEPT_ATOM keptAtom(SESSION& s, const SHAPE_ATOM& a) {
    KEPT_ATOM k;
    k.signature = s.signatures.of(a.sign);
    for (const SHAPE_ARG& arg : a.args) k.args.push_back(keptArg(kept(s), arg));
    return k;
}

// Makes the literal known to the part, with its values.
void registerLiteral(SESSION& s, std::uint32_t id, std::span<const std::uint32_t> values) {
    growTables(s);
    MAINTAINED& m = kept(s);
    KEPT_LITERAL& l = m.literals[id];
    if (l.args != None && l.args != ValuesToCome) return;
    const bool listed = l.args == ValuesToCome;
    l.args = static_cast<std::uint32_t>(m.argValues.size());
    m.argValues.insert(m.argValues.end(), values.begin(), values.end());
    if (!listed) m.signatures[s.literals[id].signature].literals.push_back(id);
}

void addSupport(MAINTAINED& m, std::uint32_t id, std::uint32_t program, int delta) {
    KEPT_LITERAL& l = m.literals[id];
    l.supports.add(program, delta);
    if (!l.dirty) {
        l.dirty = true;
        m.dirty.push_back(id);
    }
}

// A literal's standing in a recursive component's fixpoint (JOIN::member).
constexpr char AS_TRUTH = 0, IN = 1, OUT = 2, GOING = 3;

// Whether the literal was true at the start of the step, or is now.
bool wasTrue(const KEPT_LITERAL& l) { return l.truth != l.changed; }

// ---- joins ----

// The instances of a kept rule in the state before the step (old) or after
// it, each reported once: from its first body atom that changed (seed), or
// all of them (no seed, for a rule taken in the step).
struct JOIN {
    SESSION& s;
    MAINTAINED& m;
    const KEPT_RULE& rule;
    bool old;
    std::uint32_t seed = None;  // body position
    int delta = 1;
    std::vector<std::uint32_t> binding{};
    std::vector<std::uint32_t> scratch{};
    std::vector<char> joined{};  // the positive body atoms bound so far
    // Within a recursive component's fixpoint: the literals whose standing
    // differs from their truth (IN, OUT, GOING: in until its instances are
    // counted off), the one literal the instances are joined through, and
    // the heads they count for.
    const std::vector<char>* member = nullptr;
    std::uint32_t only = None;
    std::vector<std::uint32_t>* heads = nullptr;

    JOIN(SESSION& session, MAINTAINED& part, const KEPT_RULE& r, bool before, int counted)
        : s(session), m(part), rule(r), old(before), delta(counted) {
        for (const KEPT_ATOM& a : rule.body) internValuesToCome(s, a.signature);
    }

    bool holds(std::uint32_t id) const {
        if (member && id < member->size() && (*member)[id] != AS_TRUTH) return (*member)[id] != OUT;
        const KEPT_LITERAL& l = m.literals[id];
        return old ? wasTrue(l) : l.truth;
    }

    // Binds the atom's variables to the literal's values; false when they
    // do not match. Bound variables are noted in newly.
    bool bind(const KEPT_ATOM& a, std::uint32_t id, std::vector<std::uint32_t>& newly) {
        const std::uint32_t* values = argsOf(m, id);
        for (std::size_t i = 0; i < a.args.size(); ++i) {
            const KEPT_ARG& arg = a.args[i];
            if (arg.variable == None) {
                if (arg.value != values[i]) return false;
            } else if (binding[arg.variable] == None) {
                binding[arg.variable] = values[i];
                newly.push_back(arg.variable);
            } else if (binding[arg.variable] != values[i]) {
                return false;
            }
        }
        return true;
    }

    void unbind(std::vector<std::uint32_t>& newly) {
        for (std::uint32_t v : newly) binding[v] = None;
        newly.clear();
    }

    std::uint32_t valueOf(const KEPT_ARG& a) const {
        return a.variable == None ? a.value : binding[a.variable];
    }

    // The order of two values as clingo orders them, or nothing.
    std::optional<int> order(std::uint32_t a, std::uint32_t b) const {
        if (a == b) return 0;
        const VALUE& x = m.values[a];
        const VALUE& y = m.values[b];
        auto rank = [](const VALUE& v) -> int {
            if (v.kind == VALUE_KIND::STRING && v.text.find('\\') != std::string::npos) return -1;
            return v.kind == VALUE_KIND::OTHER ? -1 : static_cast<int>(v.kind);
        };
        const int rx = rank(x), ry = rank(y);
        if (rx < 0 || ry < 0) return std::nullopt;
        if (rx != ry) return rx < ry ? -1 : 1;
        if (x.kind == VALUE_KIND::INTEGER) return x.number < y.number ? -1 : 1;
        return x.text < y.text ? -1 : 1;
    }

    bool compares(const KEPT_COMPARISON& c) {
        const std::uint32_t a = valueOf(c.left), b = valueOf(c.right);
        if (c.op == BUILTIN::EQUAL) return a == b;
        if (c.op == BUILTIN::UNEQUAL) return a != b;
        const std::optional<int> o = order(a, b);
        if (!o) {
            m.unordered.push_back(groupOf(s, rule.head.signature));
            return false;
        }
        switch (c.op) {
            case BUILTIN::LESS: return *o < 0;
            case BUILTIN::GREATER: return *o > 0;
            case BUILTIN::LESS_EQUAL: return *o <= 0;
            default: return *o >= 0;
        }
    }

    // The literal of a fully bound atom that the part knows as true at
    // some time in the step, or None.
    std::uint32_t lookup(const KEPT_ATOM& a) {
        scratch.clear();
        for (const KEPT_ARG& arg : a.args) scratch.push_back(valueOf(arg));
        const auto arity = static_cast<std::uint32_t>(a.args.size());
        const std::uint32_t all = arity >= 32 ? ~0u : (1u << arity) - 1;
        KEPT_INDEX* index = indexFor(s, a.signature, all);
        const std::vector<std::uint32_t>* ids = nullptr;
        if (index) {
            auto at = index->buckets.find(keyOf(scratch.data(), arity, all));
            if (at == index->buckets.end()) return None;
            ids = &at->second;
        } else {
            ids = &m.signatures[a.signature].literals;
        }
        for (std::uint32_t id : *ids)
            if (std::equal(scratch.begin(), scratch.end(), argsOf(m, id))) return id;
        return None;
    }

    // Whether the literal at body position p counts as changed there:
    // an instance is reported from its first changed position only.
    bool changedAt(std::uint32_t p, std::uint32_t id) const {
        if (only != None) return p < seed && id == only;
        return seed != None && p < seed && id != None && m.literals[id].changed;
    }

    void finish() {
        for (const KEPT_COMPARISON& c : rule.comparisons)
            if (!compares(c)) return;
        for (std::uint32_t p = rule.positives; p < rule.body.size(); ++p) {
            if (p == seed) continue;
            const std::uint32_t id = lookup(rule.body[p]);
            if (id == None) continue;
            if (holds(id) || changedAt(p, id)) return;
        }
        reportHead();
    }

    void reportHead() {
        std::string text;
        const SESSION_SIGNATURE& sig = s.signatures[rule.head.signature];
        if (sig.negative) text += '-';
        text += sig.name;
        scratch.clear();
        for (const KEPT_ARG& a : rule.head.args) scratch.push_back(valueOf(a));
        if (!scratch.empty()) {
            text += '(';
            for (std::size_t i = 0; i < scratch.size(); ++i) {
                if (i) text += ',';
                text += m.values[scratch[i]].text;
            }
            text += ')';
        }
        const std::uint32_t id = s.literals.intern(text, rule.head.signature);
        const std::vector<std::uint32_t> values = scratch;
        registerLiteral(s, id, values);
        addSupport(m, id, rule.program, delta);
        if (heads) heads->push_back(id);
    }

    // The positive body atom to join next: the one with the most
    // arguments bound (by a value, or by a variable bound so far), of the
    // smaller signature on a tie, then the first. A rule taken whole then
    // starts from its most selective atom: -ok(X) :- emp(X,D), salary(X,7).
    // goes through the salaries of 7, not through every emp/2 fact.
    std::uint32_t nextPosition() const {
        std::uint32_t best = None, bestBound = 0;
        std::size_t bestSize = 0;
        for (std::uint32_t p = 0; p < rule.positives; ++p) {
            if (joined[p]) continue;
            const KEPT_ATOM& a = rule.body[p];
            std::uint32_t bound = 0;
            for (const KEPT_ARG& arg : a.args) bound += valueOf(arg) != None;
            const std::size_t size = m.signatures[a.signature].literals.size();
            if (best == None || bound > bestBound || (bound == bestBound && size < bestSize)) {
                best = p;
                bestBound = bound;
                bestSize = size;
            }
        }
        return best;
    }

    // Joins the positive atoms not joined yet, left of them, then the rest
    // of the body.
    void extend(std::uint32_t left) {
        if (left == 0) return finish();
        const std::uint32_t p = nextPosition();
        const KEPT_ATOM& a = rule.body[p];
        const auto arity = static_cast<std::uint32_t>(a.args.size());
        std::uint32_t mask = 0;
        scratch.assign(arity, None);
        for (std::uint32_t i = 0; i < arity && i < 32; ++i) {
            const std::uint32_t v = valueOf(a.args[i]);
            if (v != None) {
                mask |= 1u << i;
                scratch[i] = v;
            }
        }
        // A join adds no literal to an index, so the bucket stays in
        // place; a head of the body's signature (recursion) may add to the
        // signature's list, read from a copy.
        std::vector<std::uint32_t> all;
        const std::vector<std::uint32_t>* candidates = &all;
        if (KEPT_INDEX* index = indexFor(s, a.signature, mask)) {
            auto at = index->buckets.find(keyOf(scratch.data(), arity, mask));
            if (at == index->buckets.end()) return;
            candidates = &at->second;
        } else {
            all = m.signatures[a.signature].literals;
        }
        joined[p] = 1;
        std::vector<std::uint32_t> newly;
        for (std::uint32_t id : *candidates) {
            if (!holds(id) || changedAt(p, id)) continue;
            if (bind(a, id, newly)) extend(left - 1);
            unbind(newly);
        }
        joined[p] = 0;
    }

    // The instances with literal id at the seed position.
    void fromSeed(std::uint32_t position, std::uint32_t id) {
        seed = position;
        binding.assign(rule.variables, None);
        joined.assign(rule.positives, 0);
        std::uint32_t left = rule.positives;
        if (position < rule.positives) {
            joined[position] = 1;
            --left;
        }
        std::vector<std::uint32_t> newly;
        if (bind(rule.body[position], id, newly)) extend(left);
    }

    void all() {
        seed = None;
        binding.assign(rule.variables, None);
        joined.assign(rule.positives, 0);
        extend(rule.positives);
    }
};

// The seeds of a rule: the changed literals of its body's signatures, each
// with the states in which the instances through it hold.
void updateRule(SESSION& s, std::uint32_t r) {
    MAINTAINED& m = kept(s);
    const KEPT_RULE& rule = m.rules[r];
    if (rule.fresh) {
        JOIN join(s, m, rule, false, 1);
        join.all();
        return;
    }
    for (std::uint32_t p = 0; p < rule.body.size(); ++p) {
        const bool positive = p < rule.positives;
        const std::vector<std::uint32_t> changed = m.signatures[rule.body[p].signature].changed;
        for (std::uint32_t id : changed) {
            const KEPT_LITERAL& l = m.literals[id];
            if (!l.changed) continue;
            // The instances through a positive atom held before when it was
            // true; through a negative one, when it was false.
            const bool heldBefore = positive ? wasTrue(l) : !wasTrue(l);
            JOIN join(s, m, rule, heldBefore, heldBefore ? -1 : 1);
            join.fromSeed(p, id);
        }
    }
}

bool hasSupport(const MAINTAINED& m, std::uint32_t id) {
    return id != None && id < m.literals.size() && !m.literals[id].supports.empty();
}

std::int64_t highest(const MAINTAINED& m, std::uint32_t id) {
    return hasSupport(m, id) ? static_cast<std::int64_t>(m.literals[id].supports.highest()) : -1;
}

// Settles the literals whose supports changed, with their complements.
void settle(SESSION& s, std::vector<std::uint32_t>& batch) {
    MAINTAINED& m = kept(s);
    const std::size_t dirty = batch.size();
    for (std::size_t i = 0; i < dirty; ++i) {
        const std::uint32_t other = s.literals.knownComplement(batch[i]);
        if (other != None) batch.push_back(other);
    }
    growTables(s);
    std::sort(batch.begin(), batch.end());
    batch.erase(std::unique(batch.begin(), batch.end()), batch.end());
    for (std::uint32_t id : batch) m.literals[id].dirty = false;
    std::vector<char> before(batch.size());
    for (std::size_t i = 0; i < batch.size(); ++i) before[i] = m.literals[batch[i]].truth;
    for (std::uint32_t id : batch) {
        KEPT_LITERAL& l = m.literals[id];
        const std::uint32_t other = s.literals.knownComplement(id);
        const bool now = hasSupport(m, id) && highest(m, id) >= highest(m, other);
        if (now == l.truth) continue;
        l.truth = now;
        l.changed = !l.changed;
        if (l.changed) m.signatures[s.literals[id].signature].changed.push_back(id);
        if (now) indexTrue(s, id);
    }
    // Each pair once, from its positive side.
    for (std::size_t i = 0; i < batch.size(); ++i) {
        const std::uint32_t id = batch[i];
        if (s.literals[id].text.starts_with('-')) continue;
        const std::uint32_t other = s.literals.knownComplement(id);
        if (other == None) continue;
        const auto at = std::lower_bound(batch.begin(), batch.end(), other);
        const bool otherBefore = before[static_cast<std::size_t>(at - batch.begin())] != 0;
        const bool was = before[i] && otherBefore;
        const bool is = m.literals[id].truth && m.literals[other].truth;
        if (was && !is) --m.contradictions;
        if (!was && is) ++m.contradictions;
    }
    batch.clear();
}

// ---- recursive components ----
//
// A recursive component is kept when no rule reads it through `not` and no
// inner signature (one the recursion reads, or derives by a rule that
// reads it) has an inner complement (groups.cpp, monotone). Its atoms are
// then exact: the rules for the complement C of an inner literal L read
// only lower groups, so C's highest contribution, hence the program an
// instance for L must reach not to be rejected (at least C's highest,
// since only a newer program's true body rejects), is known before the
// recursion is computed. The answer sets hold of L's signature the least
// fixpoint M of "L holds when an instance of it whose program reaches that
// mark has its body in M" (the lower groups fixed, the recursion positive,
// so minimality leaves exactly the least fixpoint); the supports count
// every instance whose body is in M, rejected or not, so L holds in M
// exactly when its highest support is at least C's, the rule settle()
// applies to every kept literal. C then follows from L's supports as for
// any kept literal.
//
// A step keeps that by delete-and-rederive. The instances through changed
// lower atoms are counted first (M as it was); then every literal of M
// that lost an instance or whose complement changed goes, with everything
// derived through it (an over-estimate: what keeps another derivation is
// rederived), its instances counted off once, from the first position
// that holds a going literal. Whatever is left in M keeps an intact
// derivation, so it holds after the step too. Then every literal that
// went, or gained support, or whose complement changed, comes back when
// its highest support reaches its mark, and each literal added joins the
// rules semi-naively, counting on each instance once, when its last body
// atom is added. Counting alone would keep a cycle that lost its ground
// (p(a) :- p(b). p(b) :- p(a). support each other).

struct RECURSION {
    std::vector<char> inner;   // by signature
    std::vector<char> member;  // by literal: AS_TRUTH, IN, OUT or GOING
    std::vector<std::uint32_t> rules, heads, work;
};

bool isInner(const SESSION& s, const RECURSION& r, std::uint32_t id) {
    return r.inner[s.literals[id].signature] != 0;
}

char memberOf(const RECURSION& r, std::uint32_t id) {
    return id < r.member.size() ? r.member[id] : AS_TRUTH;
}

void setMember(RECURSION& r, std::uint32_t id, char standing) {
    if (id >= r.member.size()) r.member.resize(id + 1, AS_TRUTH);
    r.member[id] = standing;
}

bool inFixpoint(const MAINTAINED& m, const RECURSION& r, std::uint32_t id) {
    const char standing = memberOf(r, id);
    if (standing != AS_TRUTH) return standing != OUT;
    return id < m.literals.size() && m.literals[id].truth;
}

// Whether an instance that holds reaches the complement's highest.
bool derivable(SESSION& s, std::uint32_t id) {
    const MAINTAINED& m = *s.maintained;
    return hasSupport(m, id) && highest(m, id) >= highest(m, s.literals.knownComplement(id));
}

// Counts the component's instances through literal id (on or off), the
// others read in the fixpoint as it stands; their heads in r.heads.
void joinThrough(SESSION& s, RECURSION& r, std::uint32_t id, int delta) {
    MAINTAINED& m = kept(s);
    const std::uint32_t sig = s.literals[id].signature;
    for (std::uint32_t k : r.rules) {
        const KEPT_RULE& rule = m.rules[k];
        for (std::uint32_t p = 0; p < rule.positives; ++p) {
            if (rule.body[p].signature != sig) continue;
            JOIN join(s, m, rule, false, delta);
            join.member = &r.member;
            join.only = id;
            join.heads = &r.heads;
            join.fromSeed(p, id);
        }
    }
}

// Over-deletes from the literals of M that lost an instance or whose
// complement changed (touched: the literals whose supports changed).
void overDelete(SESSION& s, RECURSION& r, const std::vector<std::uint32_t>& touched) {
    MAINTAINED& m = kept(s);
    auto going = [&](std::uint32_t id) {
        if (id == None || !isInner(s, r, id) || !inFixpoint(m, r, id)) return;
        if (memberOf(r, id) == GOING) return;
        setMember(r, id, GOING);
        r.work.push_back(id);
    };
    for (std::uint32_t id : touched) {
        going(id);
        going(s.literals.knownComplement(id));
    }
    for (std::size_t i = 0; i < r.work.size(); ++i) {
        joinThrough(s, r, r.work[i], -1);
        setMember(r, r.work[i], OUT);
        for (std::uint32_t h : r.heads) going(h);
        r.heads.clear();
    }
}

// Rederives what went and adds what gained support, to the fixpoint. A
// literal enters M only when its instances are joined, so that each is
// counted once, when its last body atom enters.
void rederive(SESSION& s, RECURSION& r, const std::vector<std::uint32_t>& touched) {
    MAINTAINED& m = kept(s);
    std::vector<std::uint32_t> pending;
    pending.swap(r.work);
    for (std::uint32_t id : touched) {
        pending.push_back(id);
        const std::uint32_t other = s.literals.knownComplement(id);
        if (other != None) pending.push_back(other);
    }
    while (!pending.empty()) {
        const std::uint32_t id = pending.back();
        pending.pop_back();
        if (!isInner(s, r, id) || inFixpoint(m, r, id) || !derivable(s, id)) continue;
        setMember(r, id, IN);
        indexTrue(s, id);
        // Dirty, so that it is settled, and so that an index made later in
        // the fixpoint holds it.
        KEPT_LITERAL& l = m.literals[id];
        if (!l.dirty) {
            l.dirty = true;
            m.dirty.push_back(id);
        }
        joinThrough(s, r, id, 1);
        pending.insert(pending.end(), r.heads.begin(), r.heads.end());
        r.heads.clear();
    }
}

// Brings a recursive component up to date (see above) and settles it.
void updateRecursive(SESSION& s, const KEPT_COMPONENT& c, std::vector<std::uint32_t> rules,
                     std::vector<std::uint32_t>& batch) {
    MAINTAINED& m = kept(s);
    for (std::uint32_t k : rules) updateRule(s, k);
    batch.insert(batch.end(), m.dirty.begin(), m.dirty.end());
    m.dirty.clear();
    if (!batch.empty()) {
        RECURSION r;
        r.inner.assign(s.signatures.size(), 0);
        for (std::uint32_t sig : c.inner) r.inner[sig] = 1;
        r.rules = std::move(rules);
        const std::vector<std::uint32_t> touched = batch;
        overDelete(s, r, touched);
        rederive(s, r, touched);
        batch.insert(batch.end(), m.dirty.begin(), m.dirty.end());
        m.dirty.clear();
    }
    settle(s, batch);
}

}  // namespace

void keepRule(SESSION& s, std::uint32_t index, const READ_RULE& read) {
    MAINTAINED& m = kept(s);
    const SESSION_RULE& rule = s.rules[index];
    RULE_GROUPS g;
    if (!rule.constraint) g.head = groupOf(s, rule.headSignature);
    for (const SIGN& p : read.positive) g.body.push_back(groupOf(s, s.signatures.of(p)));
    for (const SIGN& n : read.negative) g.body.push_back(groupOf(s, s.signatures.of(n)));
    if (!rule.constraint && read.shape) {
        KEPT_RULE k;
        k.rule = index;
        k.program = rule.program;
        k.head = keptAtom(s, read.shape->head);
        for (const SHAPE_ATOM& a : read.shape->positive) k.body.push_back(keptAtom(s, a));
        k.positives = static_cast<std::uint32_t>(k.body.size());
        for (const SHAPE_ATOM& a : read.shape->negative) k.body.push_back(keptAtom(s, a));
        for (const SHAPE_COMPARISON& c : read.shape->comparisons)
            k.comparisons.push_back({c.op, keptArg(m, c.left), keptArg(m, c.right)});
        k.variables = read.shape->variables;
        g.kept = static_cast<std::uint32_t>(m.rules.size());
        m.rules.push_back(std::move(k));
        s.rules[index].kept = true;
    }
    if (m.ruleGroups.size() <= index) m.ruleGroups.resize(index + 1);
    m.ruleGroups[index] = std::move(g);
}

std::string settleGroups(SESSION& s, STEP& step) {
    MAINTAINED& m = kept(s);
    growTables(s);
    const std::vector<char> was = m.inClingo;
    decideGroups(s);
    return releaseGroups(s, step, was);
}

char groupStanding(const SESSION& s, std::uint32_t signature) {
    const MAINTAINED& m = *s.maintained;
    if (s.aggregates) return CLINGO;
    const std::uint32_t g = groupOf(s, signature);
    return g >= m.inClingo.size() ? KEPT : m.inClingo[g];
}

void keepFact(SESSION& s, std::uint32_t literal, std::uint32_t program) {
    MAINTAINED& m = kept(s);
    growTables(s);
    if (m.literals[literal].args == None) {
        keepWithValuesToCome(s, literal);
        // The indexes of a signature that joins read hold every literal
        // that holds: its values are needed now.
        const std::uint32_t sig = s.literals[literal].signature;
        if (!m.signatures[sig].indexes.empty()) internValuesToCome(s, sig);
    }
    addSupport(m, literal, program, 1);
}

std::string updateKept(SESSION& s, STEP& step) {
    MAINTAINED& m = kept(s);
    growTables(s);
    // The kept rules by the group they derive.
    std::vector<std::vector<std::uint32_t>> rulesOf(s.signatures.size());
    for (const RULE_GROUPS& g : m.ruleGroups)
        if (g.kept != None) rulesOf[g.head].push_back(g.kept);
    // The facts' changes, by group; those of a group settle with its rules'.
    std::vector<std::vector<std::uint32_t>> dirtyOf(s.signatures.size());
    for (std::uint32_t id : m.dirty) dirtyOf[groupOf(s, s.literals[id].signature)].push_back(id);
    m.dirty.clear();
    std::vector<std::uint32_t> batch;
    for (const KEPT_COMPONENT& c : m.order) {
        if (c.recursive) {
            std::vector<std::uint32_t> rules;
            for (std::uint32_t g : c.groups) {
                rules.insert(rules.end(), rulesOf[g].begin(), rulesOf[g].end());
                batch.insert(batch.end(), dirtyOf[g].begin(), dirtyOf[g].end());
                dirtyOf[g].clear();
            }
            updateRecursive(s, c, std::move(rules), batch);
            continue;
        }
        const std::uint32_t g = c.groups[0];
        for (std::uint32_t r : rulesOf[g]) updateRule(s, r);
        batch.swap(m.dirty);
        batch.insert(batch.end(), dirtyOf[g].begin(), dirtyOf[g].end());
        dirtyOf[g].clear();
        settle(s, batch);
    }
    // Groups made by facts after the order was decided: nothing reads them.
    for (std::vector<std::uint32_t>& d : dirtyOf) batch.insert(batch.end(), d.begin(), d.end());
    settle(s, batch);
    for (KEPT_RULE& r : m.rules) r.fresh = false;
    // The standings that changed, and the step's marks cleared.
    for (std::uint32_t sig = 0; sig < m.signatures.size(); ++sig) {
        KEPT_SIGNATURE& ks = m.signatures[sig];
        if (ks.changed.empty()) continue;
        for (std::uint32_t id : ks.changed) {
            KEPT_LITERAL& l = m.literals[id];
            if (!l.changed) continue;
            l.changed = false;
            const char where = m.inClingo[groupOf(s, sig)];
            if (where == SHARED) continue;
            if (where == HANDED) step.handed.push_back(id);
            touch(s, step, id);
            s.literals[id].standing = l.truth ? STANDING::BASE : STANDING::NONE;
            if (!l.truth)
                for (KEPT_INDEX& index : ks.indexes) ++index.dead;
        }
        ks.changed.clear();
        pruneIndexes(s, sig);
    }
    if (m.unordered.empty()) return {};
    // A comparison met a value whose order the part does not know: its
    // group goes to clingo, which orders it.
    const std::vector<char> was = m.inClingo;
    for (std::uint32_t g : m.unordered) m.inClingo[g] = CLINGO;
    m.unordered.clear();
    decideGroups(s);
    const std::string why = releaseGroups(s, step, was);
    return (why.empty() ? "" : why + ": ") + "a rule compares values whose order clingo decides";
}

std::vector<std::uint32_t> handedTruths(const SESSION& s) {
    const MAINTAINED& m = *s.maintained;
    std::vector<std::uint32_t> out;
    for (std::uint32_t sig = 0; sig < m.signatures.size(); ++sig)
        if (m.inClingo[groupOf(s, sig)] == HANDED)
            for (std::uint32_t id : m.signatures[sig].literals)
                if (m.literals[id].truth) out.push_back(id);
    return out;
}

bool keptContradiction(const SESSION& s) {
    return s.maintained && s.maintained->contradictions > 0;
}

}  // namespace vok::evaluation::engine
