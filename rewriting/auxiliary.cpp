// Naming of the update and minimality predicates, the recognisers of
// generated names, and the variable lists of generated atoms.
#include "rewriting/auxiliary.hpp"

#include <algorithm>
#include <charconv>

#include "base/exits.hpp"

namespace {

// The part before the last "_P" of every registered update predicate, so that
// isRewritten is a lookup instead of a scan of updatePredicates. Every name
// enters updatePredicates through registerUpdateName, which keeps it current.
NAMES rewrittenBases;

// Another owner uses the name (h is its hash): it is a predicate that this
// family did not make (the input's, or the other family's).
bool foreign(std::string_view name, std::uint32_t h, const GENERATED_NAMES& own) {
    const auto [n, known] = ATOM::Predicates.find(name, h);
    return known && ATOM::Predicates.family(n) != own.family;
}

struct Usable {
    std::string name;
    unsigned number;  // in ATOM::Predicates, when mine
    bool mine;
    std::uint32_t hash;  // of name, as NAMES::hash gives it
};

// The first of base, base_0, base_1, ... that the family owns already or
// that is free. A name is not free when it or its complement is foreign; the
// test answers alike for a name and its complement, and the suffix always
// goes onto the base itself, so p_P0 and -p_P0 move to p_P0_c and -p_P0_c
// with the same c.
Usable firstUsable(const std::string& base, const GENERATED_NAMES& own) {
    const PREDICATE_NAMES& P = ATOM::Predicates;
    std::string name = base;
    for (unsigned c = 0;; name = base + "_" + std::to_string(c++)) {
        // A new name (one per input rule makes its rejection name) is looked
        // up in a large table: its place is fetched from memory while the
        // complement is formed. The complement's place neighbours the name's.
        const std::uint32_t h = NAMES::hash(name);
        P.prefetch(h);
        const std::string complement = complementName(name);
        const std::uint32_t hc = NAMES::complementHash(h);
        auto [n, mine] = own.find(name, h);
        if (mine) return {name, n, true, h};
        if (!foreign(name, h, own) && !foreign(complement, hc, own)) return {name, 0, false, h};
    }
}

// Makes base clash-free and enters it in its registry (and so in
// ATOM::Predicates) with arity k; a name the family owns already must keep
// its arity. The name and its predicate number.
//
// The same choice as firstUsable, in two lookups per candidate instead of
// three or four: the complement is looked at first (its slot neighbours the
// name's), then the name is inserted, which either finds it (mine or
// foreign) or makes it in the slot its lookup found. Most calls of a large
// run ask for a name that exists already or is new and free.
Usable produce(const std::string& base, unsigned k, GENERATED_NAMES& own, const char* message) {
    PREDICATE_NAMES& P = ATOM::Predicates;
    std::string name = base;
    for (unsigned c = 0;; name = base + "_" + std::to_string(c++)) {
        const std::uint32_t h = NAMES::hash(name);
        P.prefetch(h);
        const std::string complement = complementName(name);
        const bool complementForeign = foreign(complement, NAMES::complementHash(h), own);
        if (complementForeign) {
            const auto [n, known] = P.find(name, h);
            if (!known || P.family(n) != own.family) continue;
            if (P.arity(n) != k) InternalError(message);
            return {name, n, true, h};
        }
        const unsigned before = own.size();
        const auto [n, ok] = own.insert(name, h, k);
        if (own.size() != before) return {name, n, false, h};
        if (P.family(n) != own.family) continue;  // foreign: try the next suffix
        if (!ok) InternalError(message);          // mine, with another arity
        return {name, n, true, h};
    }
}

// The bases entered in rewrittenBases last: a large run makes the update
// names of one predicate and its complement in turn, and every rejection
// name has the base "rej", so that most bases need no lookup.
std::string recentBases[2];

void noteRewrittenBase(std::string_view base) {
    if (!base.empty() && (base == recentBases[0] || base == recentBases[1])) return;
    rewrittenBases.insert(base);
    recentBases[1] = std::move(recentBases[0]);
    recentBases[0] = std::string(base);
}

Usable registerUpdateName(std::string base, unsigned k, const char* message) {
    const unsigned before = updatePredicates.size();
    Usable made = produce(base, k, updatePredicates, message);
    std::size_t last = made.name.rfind("_P");
    if (updatePredicates.size() != before && last != std::string::npos)
        noteRewrittenBase(std::string_view(made.name).substr(0, last));
    return made;
}

std::string registerMinimalName(std::string base, unsigned k, const char* message) {
    return produce(base, k, minimalPredicates, message).name;
}

const char* const UpdateMessage = "Error storing update predicate.";

std::string programSuffix(unsigned i) { return "_P" + std::to_string(i); }

std::string ruleSuffix(unsigned i, unsigned j) {
    return programSuffix(i) + "_R" + std::to_string(j);
}

std::string rejectionBase(unsigned i, unsigned j) { return "rej" + ruleSuffix(i, j); }

// Reads the decimal number at pos and moves pos past it; false when there
// is none, or when it does not fit an unsigned (no generated name holds
// such a number).
bool readNumber(std::string_view s, std::size_t& pos, unsigned& value) {
    const char* first = s.data() + pos;
    const auto [end, error] = std::from_chars(first, s.data() + s.size(), value);
    if (error != std::errc() || end == first) return false;
    pos += static_cast<std::size_t>(end - first);
    return true;
}

}  // namespace

std::string uniqueUpdPred(std::string base) { return firstUsable(base, updatePredicates).name; }

std::string updPred(std::string p, unsigned i, unsigned k) {
    return registerUpdateName(p + programSuffix(i), k, UpdateMessage).name;
}

std::string compl_updPred(std::string p, unsigned i, unsigned k) {
    return registerUpdateName(complementName(p) + programSuffix(i), k, UpdateMessage).name;
}

namespace {

// The atom over a registered update predicate, which is a predicate of
// ATOM::Predicates already: built over its number. An atom of another arity
// is built by name, which reports the clash and ends the run.
ATOM atomOver(const Usable& made, const ARGUMENTS& args) {
    if (args.size() == ATOM::Predicates.arity(made.number)) return ATOM(made.number, args);
    return ATOM(made.name, args, PREDICATE_NAMES::IDB);
}

}  // namespace

ATOM updAtom(std::string_view p, unsigned i, unsigned k, const ARGUMENTS& args) {
    return atomOver(registerUpdateName(std::string(p) + programSuffix(i), k, UpdateMessage), args);
}
ATOM compl_updAtom(std::string_view p, unsigned i, unsigned k, const ARGUMENTS& args) {
    return atomOver(registerUpdateName(complementName(p) + programSuffix(i), k, UpdateMessage),
                    args);
}

std::string rejectionPred(unsigned i, unsigned j, unsigned k) {
    return registerUpdateName(rejectionBase(i, j), k, "Error storing rejection predicate.").name;
}

ATOM rejectionAtom(unsigned i, unsigned j, const ARGUMENTS& V) {
    const auto k = static_cast<unsigned>(V.size());
    return atomOver(
        registerUpdateName(rejectionBase(i, j), k, "Error storing rejection predicate."), V);
}

void prefetchRejectionPred(unsigned i, unsigned j) {
    ATOM::Predicates.prefetch(NAMES::hash(rejectionBase(i, j)));
}

void prefetchUpdatePreds(std::string_view p, unsigned i) {
    // p_Pn and its complement -p_Pn have neighbouring places (see NAMES::hash).
    if (!p.empty() && p.front() == '-') p.remove_prefix(1);
    std::string name(p);
    name += "_P";
    const std::size_t base = name.size();
    for (unsigned n : {i, i + 1}) {
        name.resize(base);
        name += std::to_string(n);
        ATOM::Predicates.prefetch(NAMES::hash(name));
    }
}

std::string modelPred(std::string r, unsigned k) {
    if (!isRejectionPred(r)) return r;
    return registerMinimalName("mrej" + r.substr(3), k, "Error storing minimality predicate.");
}

std::string truthAtom() { return registerMinimalName("is_true", 0, "Error storing truth atom."); }

std::string okAtom() { return registerMinimalName("ok", 0, "Error storing ok atom."); }

std::string okPred(unsigned i) {
    return registerMinimalName("ok" + programSuffix(i), 0, "Error storing ok predicate.");
}

std::string equalityPred(unsigned i, unsigned j) {
    return registerMinimalName("eq" + ruleSuffix(i, j), 0, "Error storing equality predicate.");
}

bool hasReservedPrefix(std::string_view name) {
    if (name.empty()) return false;
    char c = name[0];
    return c == '^' || c == '_' || c == '@' || (c == '"' && name.size() > 1 && name[1] == '_');
}

bool isOriginal(std::string_view p) {
    if (hasReservedPrefix(p)) return false;
    auto [n, known] = ATOM::Predicates.find(p);
    if (known && ATOM::Predicates.type(n) == PREDICATE_NAMES::BUILTIN_PREDICATE) return false;
    return !updatePredicates.contains(p) && !minimalPredicates.contains(p);
}

bool isOriginal(unsigned n) {
    const PREDICATE_NAMES& P = ATOM::Predicates;
    return !hasReservedPrefix(P.text(n)) && P.type(n) != PREDICATE_NAMES::BUILTIN_PREDICATE &&
           P.family(n) == PREDICATE_NAMES::GIVEN;
}

bool isRewritten(std::string_view p) { return rewrittenBases.contains(p); }

const NAMES& rewrittenNames() { return rewrittenBases; }

// No update predicate has the form of a rejection name: its last "_P" is
// followed by digits and at most a clash suffix, never by "_R".
std::optional<REJECTION_NUMBERS> readRejectionName(std::string_view name) {
    if (!name.starts_with("rej_P")) return std::nullopt;
    REJECTION_NUMBERS numbers{};
    std::size_t pos = 5;
    if (!readNumber(name, pos, numbers.program) || name.substr(pos, 2) != "_R") return std::nullopt;
    pos += 2;
    if (!readNumber(name, pos, numbers.rule)) return std::nullopt;
    if (pos == name.size()) return numbers;
    unsigned clash;
    if (name[pos] != '_' || !readNumber(name, ++pos, clash) || pos != name.size())
        return std::nullopt;
    return numbers;
}

std::optional<REJECTION_NUMBERS> rejectionNumbers(std::string_view r) {
    const auto numbers = readRejectionName(r);
    if (!numbers || !updatePredicates.contains(r)) return std::nullopt;
    return numbers;
}

bool isRejectionPred(std::string_view r) { return rejectionNumbers(r).has_value(); }

unsigned getLevel(std::string_view r) {
    const auto numbers = rejectionNumbers(r);
    return numbers ? numbers->program + 1 : 0;
}

ARGUMENTS arbitraryVariables(unsigned k) {
    if (k == 0) return std::nullopt;
    std::vector<IDENT> vars;
    vars.reserve(k);
    for (unsigned n = 0; n < k; ++n) vars.emplace_back(IDENT::VARIABLE, static_cast<int>(n));
    return ARGUMENTS(vars);
}

ARGUMENTS variables(const RULE& rule) {
    int high = -1;
    if (const auto head = rule.head())
        for (const ATOM& a : head->atoms) high = std::max(high, a.highestVariable());
    if (const auto body = rule.body())
        for (const LITERAL& l : body->literals) high = std::max(high, l.highestVariable());
    return arbitraryVariables(static_cast<unsigned>(high + 1));
}

void resetAuxiliaryIndex() {
    rewrittenBases = NAMES();
    recentBases[0].clear();
    recentBases[1].clear();
}
