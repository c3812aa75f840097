// Selection of the predicates that get inertia rules, and the rules.
#include "rewriting/inertia.hpp"

#include <iostream>

#include "rewriting/auxiliary.hpp"
#include "rewriting/trace.hpp"

namespace {

constexpr PREDICATE_NAMES::TYPE IDB = PREDICATE_NAMES::IDB;

// With -O=succint the predicates that some update predicate was made from;
// with any other -O= value every predicate of the input. A strongly
// negated -q is left to q when q's rules will cover it.
// p is predicate number of ATOM::Predicates; rewritten: IsRewritten(p) is
// known to hold.
bool isSelected(OPTIMIZATION optimize, std::string_view p, unsigned number,
                bool rewritten = false) {
    const bool succint = optimize == OPTIMIZATION::SUCCINT;
    const bool selected = succint ? rewritten || IsRewritten(p) : IsOriginal(number);
    if (!selected || p.empty() || p[0] != '-') return selected;
    const std::string_view q = p.substr(1);
    if (!ATOM::Predicates.contains(q)) return true;
    return succint && !IsRewritten(q);
}

// The update atoms of a predicate and of its complement at a program, over
// the variables V: made by name, or, as the inertia walk does, over the
// predicate's number.
struct UPDATE_ATOMS {
    const std::string& p;
    unsigned number;  // of p, or UnknownPredicate
    unsigned k;
    const ARGUMENTS& V;

    ATOM update(unsigned n) const {
        return number == UnknownPredicate ? UpdateAtom(p, n, k, V) : UpdateAtom(number, n, V);
    }
    ATOM complement(unsigned n) const {
        return number == UnknownPredicate ? ComplementUpdateAtom(p, n, k, V)
                                          : ComplementUpdateAtom(number, n, V);
    }
};

// The inertia rules of p for program number n. update and complement hold
// the predicates of the update atoms of p and of its complement at n, or
// UnknownPredicate, and receive those at n - 1: walking down the programs,
// each atom is made once (see GeneratedAtom).
void addInertiaRules(REWRITING& R, const UPDATE_ATOMS& atoms, unsigned n, unsigned& update,
                     unsigned& complement) {
    const std::string& p = atoms.p;
    const ARGUMENTS& V = atoms.V;
    const ATOM a = GeneratedAtom(
        update, [&] { return atoms.update(n); }, V);
    if (n > 0) {
        unsigned below = UnknownPredicate, complementBelow = UnknownPredicate;
        const ATOM b = GeneratedAtom(
            below, [&] { return atoms.update(n - 1); }, V);
        const ATOM ca = GeneratedAtom(
            complement, [&] { return atoms.complement(n); }, V);
        const ATOM cb = GeneratedAtom(
            complementBelow, [&] { return atoms.complement(n - 1); }, V);
        createPropRules(R, b, a, cb, ca);
        update = below;
        complement = complementBelow;
    } else {
        const ATOM self(p, V, IDB);
        const ATOM ca = GeneratedAtom(
            complement, [&] { return atoms.complement(0); }, V);
        const ATOM c(complementName(p), V, IDB);
        createPropRules(R, self, a, c, ca);
    }
}

// The bases in name order lie anywhere in the tables by predicate that a
// visit reads: the walk fetches them ahead, in steps that each wait for what
// the step before fetched (a base's predicate, then the predicate's bases
// and signature, then what making its update names reads). A visit also
// looks its name and its complement up by text, in the predicate table and
// among the bases, in slots side by side (see NAMESTABLE::hash); the walk
// has fetched the name's text some steps ahead.
void fetchAhead(const NAMES& bases, const NAMES::const_iterator& it) {
    PrefetchBasePredicate(it.ahead(12));
    if (const unsigned p = BasePredicate(it.ahead(8)); p != UnknownPredicate) {
        PrefetchUpdateBases(p);
        ATOM::Predicates.prefetchSignature(p);
    }
    const unsigned b = it.ahead(4);
    if (b == NAMES::const_iterator::End) return;
    if (const unsigned p = BasePredicate(b); p != UnknownPredicate) PrefetchUpdateNames(p, 0);
    const std::uint32_t h = NAMES::hash(bases.text(b));
    ATOM::Predicates.prefetch(h);
    bases.prefetch(h);
}

}  // namespace

void UpdateRewritingPropagation(REWRITING& R, unsigned N) {
    // The predicates are visited in name order, in a live walk: names that
    // the walk itself adds are met when they sort after the current one.
    const PREDICATE_NAMES& P = ATOM::Predicates;
    auto visit = [&](std::string_view name, unsigned number, bool rewritten) {
        if (!isSelected(R.settings.optimize, name, number, rewritten)) return;
        const std::string p(name);
        const unsigned k = P.arity(number);
        const auto V = ArbitraryVariables(k);
        const UPDATE_ATOMS atoms{p, number, k, V};
        unsigned update = UnknownPredicate, complement = UnknownPredicate;
        for (unsigned n = N; n-- > 0;) addInertiaRules(R, atoms, n, update, complement);
    };
    if (R.settings.optimize != OPTIMIZATION::SUCCINT) {
        for (auto it = P.begin(); it != P.end(); ++it) visit(it->name, it->number, false);
        return;
    }
    // With -O=succint only the names that update predicates were made from
    // can be selected, so the walk goes over those (about one per predicate
    // of the input) instead of every predicate (generated ones included, one
    // per input rule and more). It meets the selected predicates in the same
    // order: visiting a name that is not selected changes nothing, so at
    // every step both walks go on to the first name after the current one
    // that is a predicate, made an update predicate from and selected.
    // A base made from a predicate's own name knows its number; the others
    // (the complements of predicates, "rej") are looked up.
    const NAMES& bases = rewrittenNames();
    R.translation.inertia.reserve(std::size_t(2) * bases.size());
    for (auto it = bases.begin(); it != bases.end(); ++it) {
        fetchAhead(bases, it);
        if (const unsigned number = BasePredicate(it->number); number != UnknownPredicate) {
            visit(it->name, number, true);
            continue;
        }
        auto [number, known] = P.find(it->name);
        if (known) visit(it->name, number, true);
    }
}

void addPropRules(REWRITING& R, std::string p, unsigned n, unsigned k) {
    const auto V = ArbitraryVariables(k);
    unsigned update = UnknownPredicate, complement = UnknownPredicate;
    addInertiaRules(R, UPDATE_ATOMS{p, UnknownPredicate, k, V}, n, update, complement);
}

void createPropRules(REWRITING& R, const ATOM& head, const ATOM& body, const ATOM& complementHead,
                     const ATOM& complementBody) {
    // The inertia rules stand after the rules made before the first of them.
    TRANSLATION& t = R.translation;
    if (t.inertia.empty()) t.inertiaAt = t.rules.size();
    const PROPAGATION_RULE a{head.predicate, body.predicate};
    const PROPAGATION_RULE b{complementHead.predicate, complementBody.predicate};
    t.inertia.add(a, b);
    if (!R.settings.debug) return;
    for (const PROPAGATION_RULE& rule : {a, b}) {
        std::string text = "Added propagation rule ";
        AppendPropagation(text, rule, R.settings.notation);
        std::cerr << text << ToRewrittenRules << '\n';
    }
}
