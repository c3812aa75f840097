// Naming of the update and minimality predicates, the recognisers of
// generated names, and the variable lists of generated atoms.
#include "rewriting/auxiliary.hpp"

#include <charconv>
#include <set>

#include "driver/exits.hpp"

namespace {

// The part before the last "_P" of every registered update predicate, so that
// isRewritten is a lookup instead of a scan of updatePredicates. Every name
// enters updatePredicates through registerUpdateName, which keeps it current.
std::set<std::string, std::less<>> rewrittenBases;

// A name belongs to another owner when the predicate table or the other
// family's registry knows it and this family did not make it.
bool foreign(std::string_view name, const PREDICATE_NAMES& own, const PREDICATE_NAMES& other) {
    return !own.contains(name) && (ATOM::Predicates.contains(name) || other.contains(name));
}

// A family's own names are never taken; any other name is taken when it or
// its complement belongs to another owner. The test gives the same answer
// for a name and its complement.
bool taken(const std::string& name, const PREDICATE_NAMES& own, const PREDICATE_NAMES& other) {
    if (own.contains(name)) return false;
    return foreign(name, own, other) || foreign(complementName(name), own, other);
}

// The base name if it is free, else the first free base + "_" + c. The
// suffix always goes onto the base itself, so that p_P0 and -p_P0 move to
// p_P0_c and -p_P0_c with the same c.
std::string unique(std::string base, const PREDICATE_NAMES& own, const PREDICATE_NAMES& other) {
    if (!taken(base, own, other)) return base;
    for (unsigned c = 0;; ++c) {
        std::string candidate = base + "_" + std::to_string(c);
        if (!taken(candidate, own, other)) return candidate;
    }
}

void registerName(PREDICATE_NAMES& registry, const std::string& name, unsigned k,
                  const char* message) {
    if (!registry.insert(name, k, PREDICATE_NAMES::IDB).second) InternalError(message);
}

std::string registerUpdateName(std::string name, unsigned k, const char* message) {
    registerName(updatePredicates, name, k, message);
    std::size_t last = name.rfind("_P");
    if (last != std::string::npos) rewrittenBases.insert(name.substr(0, last));
    return name;
}

std::string registerMinimalName(std::string name, unsigned k, const char* message) {
    registerName(minimalPredicates, name, k, message);
    return name;
}

const char* const UpdateMessage = "Error storing update predicate.";

std::string programSuffix(unsigned i) { return "_P" + std::to_string(i); }

std::string ruleSuffix(unsigned i, unsigned j) {
    return programSuffix(i) + "_R" + std::to_string(j);
}

// Skips a run of decimal digits at pos; false when there is none.
bool skipDigits(std::string_view s, std::size_t& pos) {
    std::size_t start = pos;
    while (pos < s.size() && s[pos] >= '0' && s[pos] <= '9') ++pos;
    return pos > start;
}

// rej_P<i>_R<j>, optionally followed by a clash suffix _<c>. No update
// predicate has this form: its last "_P" is followed by digits and at most
// a clash suffix, never by "_R".
bool hasRejectionForm(std::string_view r) {
    if (r.substr(0, 5) != "rej_P") return false;
    std::size_t pos = 5;
    if (!skipDigits(r, pos) || r.substr(pos, 2) != "_R") return false;
    pos += 2;
    if (!skipDigits(r, pos)) return false;
    if (pos == r.size()) return true;
    if (r[pos] != '_') return false;
    ++pos;
    return skipDigits(r, pos) && pos == r.size();
}

}  // namespace

std::string uniqueUpdPred(std::string base) {
    return unique(std::move(base), updatePredicates, minimalPredicates);
}

std::string uniqueMinPred(std::string base) {
    return unique(std::move(base), minimalPredicates, updatePredicates);
}

std::string updPred(std::string p, unsigned i, unsigned k) {
    return registerUpdateName(uniqueUpdPred(p + programSuffix(i)), k, UpdateMessage);
}

std::string compl_updPred(std::string p, unsigned i, unsigned k) {
    return registerUpdateName(uniqueUpdPred(complementName(p) + programSuffix(i)), k,
                              UpdateMessage);
}

std::string rejectionPred(unsigned i, unsigned j, unsigned k) {
    return registerUpdateName(uniqueUpdPred("rej" + ruleSuffix(i, j)), k,
                              "Error storing rejection predicate.");
}

std::string modelPred(std::string r, unsigned k) {
    if (!isRejectionPred(r)) return r;
    return registerMinimalName(uniqueMinPred("mrej" + r.substr(3)), k,
                               "Error storing minimality predicate.");
}

std::string truthAtom() {
    return registerMinimalName(uniqueMinPred("is_true"), 0, "Error storing truth atom.");
}

std::string okAtom() { return registerMinimalName(uniqueMinPred("ok"), 0, "Error storing ok atom."); }

std::string okPred(unsigned i) {
    return registerMinimalName(uniqueMinPred("ok" + programSuffix(i)), 0,
                               "Error storing ok predicate.");
}

std::string equalityPred(unsigned i, unsigned j) {
    return registerMinimalName(uniqueMinPred("eq" + ruleSuffix(i, j)), 0,
                               "Error storing equality predicate.");
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

bool isRewritten(std::string_view p) { return rewrittenBases.find(p) != rewrittenBases.end(); }

bool isRejectionPred(std::string_view r) {
    return hasRejectionForm(r) && updatePredicates.contains(r);
}

unsigned getLevel(std::string_view r) {
    if (!isRejectionPred(r)) return 0;
    std::size_t p = r.find("_P");
    std::size_t rule = r.find("_R");
    if (p == std::string_view::npos || rule == std::string_view::npos) return 0;
    std::size_t s = p + 2;
    if (s >= r.size() || s >= rule) return 0;
    unsigned v = 0;
    auto [end, error] = std::from_chars(r.data() + s, r.data() + rule, v);
    if (error != std::errc() || end == r.data() + s) return 0;
    return v + 1;
}

std::unique_ptr<std::vector<IDENT>> arbitraryVariables(unsigned k) {
    if (k == 0) return nullptr;
    auto vars = std::make_unique<std::vector<IDENT>>();
    vars->reserve(k);
    for (unsigned n = 0; n < k; ++n) vars->emplace_back(IDENT::VARIABLE, static_cast<int>(n));
    return vars;
}

std::unique_ptr<std::vector<IDENT>> variables(const RULE& rule) {
    int high = -1;
    if (rule.head)
        for (const ATOM& a : rule.head->atoms) high = std::max(high, a.highestVariable());
    if (rule.body)
        for (const LITERAL& l : rule.body->literals) high = std::max(high, l.highestVariable());
    return arbitraryVariables(static_cast<unsigned>(high + 1));
}

void resetAuxiliaryIndex() { rewrittenBases.clear(); }
