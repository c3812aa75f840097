// Naming of the update and minimality predicates, the recognisers of
// generated names, and the variable lists of generated atoms.
#include "rewriting/auxiliary.hpp"

#include <algorithm>

#include "base/exits.hpp"
#include "common/contract.hpp"

namespace {

// Another owner uses the name (h is its hash): it is a predicate that the
// minimality family did not make (the input's), or an update name.
bool foreign(std::string_view name, std::uint32_t h, const GENERATED_NAMES& own) {
    const auto [n, known] = ATOM::Predicates.find(name, h);
    if (known) return ATOM::Predicates.family(n) != own.family;
    return updatePredicates.contains(name);
}

// Makes base clash-free and enters it in the minimality registry (and so in
// ATOM::Predicates) with arity k; a name the family owns already must keep
// its arity. The first of base, base_0, base_1, ... that the family owns
// already or that is free: a name is not free when it or its complement is
// foreign. The test answers alike for a name and its complement, and the
// suffix always goes onto the base itself, so ok_P1 and -ok_P1 would move
// to ok_P1_c and -ok_P1_c with the same c.
//
// The complement is looked at first (its slot neighbours the name's), then
// the name is inserted, which either finds it (mine or foreign) or makes it
// in the slot its lookup found.
std::string produce(const std::string& base, unsigned k, GENERATED_NAMES& own,
                    const char* message) {
    PREDICATE_NAMES& P = ATOM::Predicates;
    std::string name = base;
    for (unsigned c = 0;; name = base + "_" + std::to_string(c++)) {
        const std::uint32_t h = NAMES::hash(name);
        const std::string complement = complementName(name);
        if (foreign(complement, NAMES::complementHash(h), own)) {
            const auto [n, known] = P.find(name, h);
            if (!known || P.family(n) != own.family) continue;
            if (P.arity(n) != k) throw INTERNAL_ERROR{message};
            return name;
        }
        if (updatePredicates.contains(name)) continue;
        const unsigned before = own.size();
        const auto [n, ok] = own.insert(name, h, k);
        if (own.size() != before) return name;
        if (P.family(n) != own.family) continue;  // foreign: try the next suffix
        if (!ok) throw INTERNAL_ERROR{message};   // mine, with another arity
        return name;
    }
}

std::string registerMinimalName(std::string base, unsigned k, const char* message) {
    return produce(base, k, minimalPredicates, message);
}

// Neither name nor its complement is a predicate of the table (the input's,
// a builtin or a minimality name): an update name may have that text.
bool usable(const std::string& name) {
    const PREDICATE_NAMES& P = ATOM::Predicates;
    return !P.contains(name) && !P.contains(complementName(name));
}

// The suffix that update name n, not made yet, needs: none when its plain
// text is usable, else the first _c that makes it so. Only names of the
// shape of an update name can be in the way (see hasUpdateShape), and a
// large input rarely has any. The test answers alike for a name and its
// complement, so the update names of p and -p at one program take the same
// suffix.
unsigned usableSuffix(unsigned n) {
    if (ATOM::Predicates.updateShaped == 0) return UPDATE_NAMES::NoSuffix;
    const std::string plain = updatePredicates.plainText(n);
    if (usable(plain)) return UPDATE_NAMES::NoSuffix;
    for (unsigned c = 0;; ++c)
        if (usable(plain + "_" + std::to_string(c))) return c + 1;
}

// Update or rejection name n, made with arity k when new; a name made
// already must keep its arity.
unsigned madeName(unsigned n, unsigned k, const char* message) {
    if (updatePredicates.made(n)) {
        if (updatePredicates.arity(n) != k) throw INTERNAL_ERROR{message};
        return n;
    }
    updatePredicates.make(n, usableSuffix(n), k);
    return n;
}

// The bases of the update names of a predicate and of its complement, by
// predicate number, once known: a large run asks for them rule after rule.
struct BASES {
    unsigned plain = UnknownPredicate;
    unsigned complement = UnknownPredicate;
};
std::vector<BASES> basesByPredicate;
// The other way: the predicate whose own name base b is, when baseOf made it.
std::vector<unsigned> predicateOfBase;

unsigned baseOf(unsigned p, bool complement) {
    if (p >= basesByPredicate.size()) basesByPredicate.resize(ATOM::Predicates.size());
    unsigned& b = complement ? basesByPredicate[p].complement : basesByPredicate[p].plain;
    if (b == UnknownPredicate) {
        const std::string_view name = ATOM::Predicates.text(p);
        b = complement ? updatePredicates.base(complementName(name)) : updatePredicates.base(name);
        if (!complement) {
            if (b >= predicateOfBase.size()) predicateOfBase.resize(b + 1, UnknownPredicate);
            predicateOfBase[b] = p;
        }
        const BASES& both = basesByPredicate[p];
        if (both.plain != UnknownPredicate && both.complement != UnknownPredicate)
            updatePredicates.pairBases(both.plain, both.complement);
    }
    return b;
}

const char* const UpdateMessage = "Error storing update predicate.";
const char* const RejectionMessage = "Error storing rejection predicate.";

std::string programSuffix(unsigned i) {
    std::string suffix;
    AppendProgramMark(suffix, i);
    return suffix;
}

std::string ruleSuffix(unsigned i, unsigned j) {
    std::string suffix;
    AppendRuleMarks(suffix, i, j);
    return suffix;
}

}  // namespace

std::string UniquePredicateName(std::string base) {
    // The first of base, base_0, base_1, ... that is an update name or usable.
    std::string name = base;
    for (unsigned c = 0;; name = base + "_" + std::to_string(c++))
        if (updatePredicates.contains(name) || usable(name)) return name;
}

std::string UpdatePredicate(std::string p, unsigned i, unsigned k) {
    const unsigned n = updatePredicates.update(updatePredicates.base(p), i);
    return updatePredicates.text(madeName(n, k, UpdateMessage));
}

std::string ComplementUpdatePredicate(std::string p, unsigned i, unsigned k) {
    return UpdatePredicate(complementName(p), i, k);
}

namespace {

// The atom over update name n, made with arity k, with the given
// arguments: over its number, or, for arguments of another arity, by name,
// which reports the clash and ends the run.
ATOM atomOver(unsigned n, unsigned k, const ARGUMENTS& args) {
    if (args.size() == k) return ATOM(n, args);
    return ATOM(updatePredicates.text(n), args, PREDICATE_NAMES::IDB);
}

ATOM updateAtom(unsigned b, unsigned i, unsigned k, const ARGUMENTS& args) {
    return atomOver(madeName(updatePredicates.update(b, i), k, UpdateMessage), k, args);
}

}  // namespace

unsigned BasePredicate(unsigned b) {
    return b < predicateOfBase.size() ? predicateOfBase[b] : UnknownPredicate;
}

void PrefetchBasePredicate(unsigned b) {
    if (b < predicateOfBase.size()) __builtin_prefetch(&predicateOfBase[b]);
}

void PrefetchUpdateBases(unsigned p) {
    if (p < basesByPredicate.size()) __builtin_prefetch(&basesByPredicate[p]);
}

void PrefetchUpdateNames(unsigned p, unsigned i) {
    if (p >= basesByPredicate.size()) return;
    const BASES& b = basesByPredicate[p];
    // A base not made yet is looked up by its text, whose slot lies beside
    // that of its complement's text (see NAMESTABLE::hash).
    if (b.plain == UnknownPredicate || b.complement == UnknownPredicate)
        updatePredicates.bases().prefetch(NAMES::hash(ATOM::Predicates.text(p)));
    if (b.plain != UnknownPredicate)
        updatePredicates.prefetchMade(updatePredicates.update(b.plain, i));
    if (b.complement != UnknownPredicate && i + 1 < updatePredicates.span())
        updatePredicates.prefetchMade(updatePredicates.update(b.complement, i + 1));
}

ATOM UpdateAtom(std::string_view p, unsigned i, unsigned k, const ARGUMENTS& args) {
    return updateAtom(updatePredicates.base(p), i, k, args);
}
ATOM ComplementUpdateAtom(std::string_view p, unsigned i, unsigned k, const ARGUMENTS& args) {
    return updateAtom(updatePredicates.base(complementName(p)), i, k, args);
}
// The arity is that of args: an atom's arguments are as many as its
// predicate's arity, and reading the predicate's signature would cost a
// miss per atom in a large table.
ATOM UpdateAtom(unsigned p, unsigned i, const ARGUMENTS& args) {
    return updateAtom(baseOf(p, false), i, static_cast<unsigned>(args.size()), args);
}
ATOM ComplementUpdateAtom(unsigned p, unsigned i, const ARGUMENTS& args) {
    return updateAtom(baseOf(p, true), i, static_cast<unsigned>(args.size()), args);
}

std::string RejectionPredicate(unsigned i, unsigned j, unsigned k) {
    const unsigned n = updatePredicates.rejection(i, j);
    return updatePredicates.text(madeName(n, k, RejectionMessage));
}

ATOM RejectionAtom(unsigned i, unsigned j, const ARGUMENTS& V) {
    const auto k = static_cast<unsigned>(V.size());
    return atomOver(madeName(updatePredicates.rejection(i, j), k, RejectionMessage), k, V);
}

std::string ModelPredicate(std::string r, unsigned k) {
    if (!IsRejectionPredicate(r)) return r;
    return registerMinimalName("mrej" + r.substr(3), k, "Error storing minimality predicate.");
}

std::string TruthPredicateName() {
    return registerMinimalName("is_true", 0, "Error storing truth atom.");
}

std::string OkPredicateName() { return registerMinimalName("ok", 0, "Error storing ok atom."); }

std::string OkPredicateAt(unsigned i) {
    return registerMinimalName("ok" + programSuffix(i), 0, "Error storing ok predicate.");
}

std::string EqualityPredicate(unsigned i, unsigned j) {
    return registerMinimalName("eq" + ruleSuffix(i, j), 0, "Error storing equality predicate.");
}

bool HasReservedPrefix(std::string_view name) {
    if (name.empty()) return false;
    char c = name[0];
    return c == '^' || c == '_' || c == '@' || (c == '"' && name.size() > 1 && name[1] == '_');
}

bool IsOriginal(std::string_view p) {
    if (HasReservedPrefix(p)) return false;
    auto [n, known] = ATOM::Predicates.find(p);
    if (known && ATOM::Predicates.type(n) == PREDICATE_NAMES::BUILTIN_PREDICATE) return false;
    return !updatePredicates.contains(p) && !minimalPredicates.contains(p);
}

bool IsOriginal(unsigned n) {
    if (isUpdateNumber(n)) return false;
    const PREDICATE_NAMES& P = ATOM::Predicates;
    return !HasReservedPrefix(P.text(n)) && P.type(n) != PREDICATE_NAMES::BUILTIN_PREDICATE &&
           P.family(n) == PREDICATE_NAMES::GIVEN;
}

bool IsRewritten(std::string_view p) { return updatePredicates.bases().contains(p); }

const NAMES& rewrittenNames() { return updatePredicates.bases(); }

std::optional<REJECTION_NUMBERS> RejectionNumbersOf(std::string_view r) {
    const auto numbers = ReadRejectionName(r);
    if (!numbers || !updatePredicates.findRejection(*numbers).second) return std::nullopt;
    return numbers;
}

bool IsRejectionPredicate(std::string_view r) { return RejectionNumbersOf(r).has_value(); }

unsigned RejectionLevel(std::string_view r) {
    const auto numbers = RejectionNumbersOf(r);
    return numbers ? numbers->program + 1 : 0;
}

ARGUMENTS ArbitraryVariables(unsigned k) {
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
    return ArbitraryVariables(static_cast<unsigned>(high + 1));
}

void ResetAuxiliaryIndex() {
    basesByPredicate = std::vector<BASES>();
    predicateOfBase = std::vector<unsigned>();
}
