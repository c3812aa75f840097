#include "atom.hpp"

#include <algorithm>
#include <cstdlib>
#include <tuple>

#include "base/exits.hpp"
#include "common/contract.hpp"
#include "common/never_destroyed.hpp"
#include "representation/compound.hpp"

// Never destroyed, like the constants (see ident.cpp).
namespace {
NEVER_DESTROYED<PREDICATE_NAMES> PredicateTable;
NEVER_DESTROYED<GENERATED_NAMES> MinimalNames(PREDICATE_NAMES::MINIMAL_FAMILY);
}  // namespace
PREDICATE_NAMES& ATOM::Predicates = PredicateTable.get();
GENERATED_NAMES& minimalPredicates = MinimalNames.get();

int NumBuiltins = 0;

namespace {

// A predicate's arity and kind as the mark of its index slot (0: none, for
// an arity too large to be kept there).
std::uint32_t signatureMark(unsigned arity, PREDICATE_NAMES::TYPE type) {
    if (arity >= (1u << 29)) return 0;
    return ((arity << 2) | type) + 1;
}

}  // namespace

std::pair<unsigned, bool> PREDICATE_NAMES::insert(std::string_view name, std::uint32_t h,
                                                  unsigned arity, TYPE type) {
    const auto [n, fresh, mark] = NAMES::insertMarked(name, h);
    const std::uint32_t want = signatureMark(arity, type);
    if (fresh) {
        recordFresh(name, {arity, type});
        if (mark) *mark = want;
        return {n, true};
    }
    // A short name's arity and kind are in its slot as well: a known
    // predicate met again as it was, or first given its kind, is then taken
    // without reading its signature (a kind is only written there).
    if (mark && *mark != 0 && want != 0 && (*mark - 1) >> 2 == arity) {
        const auto known = static_cast<TYPE>((*mark - 1) & 3);
        if (type == UNSPECIFIED || type == known) return {n, true};
        if (known == UNSPECIFIED) {
            signatures[n].type = type;
            *mark = want;
            return {n, true};
        }
    }
    SIGNATURE& known = signatures[n];
    if (known.arity != arity) return {n, false};
    if (type != UNSPECIFIED && type != known.type) {
        if (known.type != UNSPECIFIED) return {n, false};
        known.type = type;
    }
    if (mark) *mark = signatureMark(known.arity, known.type);
    return {n, true};
}

std::pair<unsigned, bool> GENERATED_NAMES::insert(std::string_view name, std::uint32_t h,
                                                  unsigned arity) {
    PREDICATE_NAMES& P = ATOM::Predicates;
    const auto [n, fresh] = P.NAMES::insert(name, h);
    if (!fresh) return {n, P.family(n) == family && P.arity(n) == arity};
    P.recordFresh(name, {arity, PREDICATE_NAMES::IDB, family});
    ++count;
    return {n, true};
}

std::vector<NAMES_ITEM> GENERATED_NAMES::inNameOrder() const {
    const PREDICATE_NAMES& P = ATOM::Predicates;
    TABLE_ARRAY<unsigned> numbers;
    numbers.reserve(count);
    for (unsigned n = 0; n < P.size(); ++n)
        if (made(n)) numbers.push_back(n);
    std::sort(numbers.begin(), numbers.end(), [](unsigned a, unsigned b) {
        return ATOM::Predicates.text(a) < ATOM::Predicates.text(b);
    });
    std::vector<NAMES_ITEM> items;
    items.reserve(numbers.size());
    for (unsigned n : numbers) items.push_back({ATOM::Predicates.text(n), n});
    return items;
}

void initBuiltins() {
    for (int b = 0; b < BUILTIN_COUNT; ++b)
        ATOM::Predicates.insert(BuiltinSignatures[b].name, BuiltinSignatures[b].arity,
                                PREDICATE_NAMES::BUILTIN_PREDICATE);
    NumBuiltins = BUILTIN_COUNT;
}

PREDICATE_CONFLICT::PREDICATE_CONFLICT(std::string why)
    : END_OF_RUN{1, END_OF_RUN::AT_ONCE, why.empty() ? std::string() : why + "."},
      reason(std::move(why)) {}

// Why a name could not be registered, one line per reason, without the
// last line's end.
static std::string conflictMessage(std::string_view name, unsigned arity,
                                   PREDICATE_NAMES::TYPE type, unsigned n) {
    const PREDICATE_NAMES& P = ATOM::Predicates;
    std::string text;
    auto line = [&](const std::string& l) {
        if (!text.empty()) text += ".\n";
        text += l;
    };
    if (P.arity(n) != arity)
        line(std::string(name) + ", first used with arity " + std::to_string(P.arity(n)) +
             ", now seen with arity " + std::to_string(arity));
    if (type == PREDICATE_NAMES::IDB && P.type(n) == PREDICATE_NAMES::EDB)
        line(std::string(name) + ", first used as EDB predicate, now seen as IDB predicate");
    if (type == PREDICATE_NAMES::EDB && P.type(n) == PREDICATE_NAMES::IDB)
        line(std::string(name) + ", first used as IDB predicate, now seen as EDB predicate");
    return text;
}

// An update name is a predicate of IDB kind without an entry of its own.
static std::pair<unsigned, bool> updateName(std::string_view name, unsigned arity,
                                            PREDICATE_NAMES::TYPE type) {
    if (updatePredicates.empty()) return {0, false};
    const auto [n, made] = updatePredicates.find(name);
    if (!made) return {0, false};
    const bool ok = updatePredicates.arity(n) == arity && type != PREDICATE_NAMES::EDB;
    return {n, ok};
}

unsigned ATOM::registered(std::string_view name, unsigned arity, PREDICATE_NAMES::TYPE type) {
    auto [n, ok] = updateName(name, arity, type);
    if (!isUpdateNumber(n)) std::tie(n, ok) = Predicates.insert(name, arity, type);
    if (ok) return n;
    throw PREDICATE_CONFLICT(conflictMessage(name, arity, type, n));
}

ATOM::ATOM(std::string_view name, ARGUMENTS terms, PREDICATE_NAMES::TYPE type)
    : predicate(registered(name, static_cast<unsigned>(terms.size()), type)),
      args(std::move(terms)) {}

bool ATOM::hasVariable() const {
    for (const IDENT& t : args)
        if (HighestVariable(t) >= 0) return true;
    return false;
}

int ATOM::highestVariable() const {
    int high = -1;
    for (const IDENT& t : args) high = std::max(high, HighestVariable(t));
    return high;
}

std::string_view ATOM::nameView() const {
    // A builtin atom built while no builtin is registered has no name; the
    // parser never lets one through, so meeting it here is a bug.
    if (predicate >= Predicates.size()) throw INTERNAL_ERROR{"Atom of an unknown predicate."};
    return Predicates.text(predicate);
}

std::string ATOM::name() const {
    if (isUpdateNumber(predicate)) return updatePredicates.text(predicate);
    return std::string(nameView());
}

bool ATOM::isComparison() const {
    return predicate < Predicates.size() && predicate <= GREATER_OR_EQUAL &&
           Predicates.type(predicate) == PREDICATE_NAMES::BUILTIN_PREDICATE;
}

namespace {

// Beyond the ten, the builtin predicates are aggregates (named by their
// text, see AggregateMark) and the assignment (AssignmentName).
bool isLaterBuiltin(unsigned predicate) {
    return predicate >= BUILTIN_COUNT && predicate < ATOM::Predicates.size() &&
           ATOM::Predicates.type(predicate) == PREDICATE_NAMES::BUILTIN_PREDICATE;
}

}  // namespace

bool ATOM::isAggregate() const {
    return isLaterBuiltin(predicate) && Predicates.text(predicate)[0] == AggregateMark;
}

bool ATOM::isAssignment() const {
    return isLaterBuiltin(predicate) && Predicates.text(predicate) == AssignmentName;
}

bool ATOM::assigns() const { return isAggregate() && Predicates.text(predicate)[1] == AssignsMark; }

bool ATOM::isConditional() const {
    return isAggregate() && Predicates.text(predicate)[1] == ConditionalMark;
}

namespace {

// The text of an aggregate with its global variables put in.
void appendAggregate(std::string& out, std::string_view text, const ARGUMENTS& args) {
    for (std::size_t i = 2; i < text.size(); ++i) {
        if (text[i] != ArgumentMark || i + 1 == text.size()) {
            out += text[i];
            continue;
        }
        const auto place = static_cast<unsigned char>(text[++i]) - 1u;
        if (place >= args.size()) throw INTERNAL_ERROR{"Aggregate without its arguments."};
        AppendTerm(out, args[place]);
    }
}

}  // namespace

ATOM newAssignment(IDENT left, IDENT right) {
    const IDENT sides[] = {left, right};
    return ATOM(AssignmentName, ARGUMENTS(std::vector<IDENT>(sides, sides + 2)),
                PREDICATE_NAMES::BUILTIN_PREDICATE);
}

ATOM newNegativeATOM(std::string_view name, ARGUMENTS args) {
    std::string negated;
    negated.reserve(name.size() + 1);
    negated += '-';
    negated += name;
    return ATOM(negated, std::move(args), PREDICATE_NAMES::UNSPECIFIED);
}

ATOM newBuiltin(BUILTIN builtin, ARGUMENTS args) {
    return ATOM(static_cast<unsigned>(builtin), std::move(args));
}

std::string complementName(std::string_view name) {
    if (!name.empty() && name[0] == '-') return std::string(name.substr(1));
    std::string c;
    c.reserve(name.size() + 1);
    c += '-';
    c += name;
    return c;
}

void AppendAtom(std::string& out, const ATOM& atom, NOTATION notation) {
    if (isUpdateNumber(atom.predicate)) {
        updatePredicates.appendText(out, atom.predicate, notation);
    } else {
        const std::string_view name = atom.nameView();
        if (!name.empty() && name[0] == AggregateMark) return appendAggregate(out, name, atom.args);
        AppendName(out, name, notation);
    }
    if (!atom.args.empty()) {
        out += '(';
        for (const IDENT& t : atom.args) {
            if (&t != atom.args.begin()) out += ',';
            AppendTerm(out, t);
        }
        out += ')';
    }
}

void AppendLiteral(std::string& out, const LITERAL& literal, NOTATION notation) {
    if (literal.doubled) out += "not ";
    if (literal.negated) out += notation == NOTATION::PEXA ? "~" : "not ";
    AppendAtom(out, literal, notation);
}
