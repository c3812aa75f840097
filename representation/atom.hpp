// Predicates, atoms and literals.
//
// ATOM::Predicates numbers every predicate of the program and records its
// arity and kind; the update family's generated names are numbered above
// its numbers (representation/update_names.hpp). Strong negation is part of
// the name: -p is the predicate named "-p", with its own number and arity.
// The ten builtin predicates of the rox program type take the numbers 0 to
// 9, equal to their BUILTIN values.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "base/exits.hpp"
#include "representation/ident.hpp"
#include "representation/update_names.hpp"

// A name table with an arity, a kind and a family per predicate.
struct PREDICATE_NAMES : NAMES {
    enum TYPE : std::uint8_t { UNSPECIFIED = 0, EDB = 1, IDB = 2, BUILTIN_PREDICATE = 3 };
    // Who made a predicate: the input (or a builtin), or one of the two
    // families of generated names (see GENERATED_NAMES).
    enum FAMILY : std::uint8_t { GIVEN = 0, UPDATE_FAMILY = 1, MINIMAL_FAMILY = 2 };

    // The arity, the kind and the family of each predicate, side by side,
    // so that checking a known predicate reads one place: 8 bytes, since a
    // large run has several predicates per input rule.
    struct SIGNATURE {
        unsigned arity;
        TYPE type;
        FAMILY family = GIVEN;
    };
    TABLE_ARRAY<SIGNATURE> signatures;
    // Names of the table that have the shape of an update name or its
    // complement (see HasUpdateShape); only ever counted up.
    unsigned updateShaped = 0;

    // (number, ok): a new name is numbered and recorded; a known name is ok
    // when the arity matches and the kinds agree (UNSPECIFIED takes the
    // requested kind).
    std::pair<unsigned, bool> insert(std::string_view name, unsigned arity, TYPE type) {
        return insert(name, hash(name), arity, type);
    }
    // The same for a caller that has the name's hash already.
    std::pair<unsigned, bool> insert(std::string_view name, std::uint32_t h, unsigned arity,
                                     TYPE type);

    // Records the signature of a name that insert found fresh.
    void recordFresh(std::string_view name, SIGNATURE signature) {
        signatures.push_back(signature);
        if (HasUpdateShape(name)) ++updateShaped;
    }

    // Forgets the names numbered n and above (see NAMES::truncate).
    void truncate(unsigned n) {
        NAMES::truncate(n);
        if (n < signatures.size()) signatures.resize(n);
    }

    // Also for the numbers of update names (see UPDATE_NAMES).
    unsigned arity(unsigned n) const {
        return isUpdateNumber(n) ? updatePredicates.arity(n) : signatures[n].arity;
    }
    TYPE type(unsigned n) const { return isUpdateNumber(n) ? IDB : signatures[n].type; }
    FAMILY family(unsigned n) const {
        return isUpdateNumber(n) ? UPDATE_FAMILY : signatures[n].family;
    }
    // Starts fetching the signature of predicate n, when it has one here.
    [[gnu::always_inline]] void prefetchSignature(unsigned n) const {
        if (n < signatures.size()) __builtin_prefetch(&signatures[n]);
    }
};

enum BUILTIN {
    EQUAL = 0,
    NOT_EQUAL,
    LESS,
    GREATER,
    LESS_OR_EQUAL,
    GREATER_OR_EQUAL,
    INT,
    SUCC,
    PLUS,
    TIMES,
    BUILTIN_COUNT
};

// Their names and arities are the evaluation programs' too.
static_assert(BUILTIN_COUNT == BuiltinCount);
extern int NumBuiltins;  // builtins registered: 10 for rox, 0 otherwise

// Registers the builtins of rox programs; only a rox run asks for them,
// other program types have none.
void initBuiltins();

// An aggregate literal (#count{ X : p(X) } > 2, Y = #sum{ ... }) is an atom
// of a builtin predicate of its own, named by its text in the rox form: the
// name begins with AggregateMark and then AssignsMark when the guard
// assigns args[0], or NoAssignMark (or ConditionalMark); each of its global variables (those
// bound outside it, args) stands in the text as ArgumentMark and a byte,
// 1 + its place in args. Its local variables are written in the text, so
// that the rewriting, which renames a rule's variables through its atoms'
// arguments, never meets them. No predicate name an input can write
// begins with a control character.
inline constexpr char AggregateMark = '\x02';
inline constexpr char ArgumentMark = '\x01';
inline constexpr char AssignsMark = 'a';
inline constexpr char NoAssignMark = '-';
// In place of AssignsMark: a conditional literal "p(X) : q(X)", whose
// condition, as clingo reads it, runs to the next ";" of the body, so that
// a body that holds one is written with ";" between its literals.
inline constexpr char ConditionalMark = 'c';
// The most global variables an aggregate may have.
inline constexpr unsigned MaxAggregateArguments = 250;

// A predicate met with another arity or kind than before, thrown where the
// atom would be built. Not caught, it ends the run at once with status 1 and
// the reason on standard error; a caller that drops what holds the atom (a
// session's block) catches it and reports the reason as its own error.
struct PREDICATE_CONFLICT : END_OF_RUN {
    explicit PREDICATE_CONFLICT(std::string why);
    std::string reason;  // one line per clash, without the last line's period
};

// The argument list of an atom, which may be absent (no list at all: "p",
// as against an empty list) or a list of terms, possibly empty: an optional
// list of terms, which tests true when a list is present, and reads as an
// empty list when absent. Copies are deep. Up to three terms are kept in
// place and longer lists on the heap, so that most atoms cost no
// allocation of their own.
//
// std::optional<std::vector<IDENT>> would say the same at 40 bytes and an
// allocation per list. Here absence is the count 0, and the pointer to a
// heap list is kept in the bytes of the in-place terms (written and read
// with memcpy; moves copy those bytes as they are), so that the record
// needs no more than the 4-byte alignment of its terms: an atom takes 20
// bytes, a literal 24.
class ARGUMENTS {
public:
    ARGUMENTS() = default;
    ARGUMENTS(std::nullopt_t) {}
    explicit ARGUMENTS(const std::vector<IDENT>& terms) { assign(terms.data(), terms.size()); }
    ARGUMENTS(const ARGUMENTS& o) {
        if (o) assign(o.begin(), o.size());
    }
    ARGUMENTS(ARGUMENTS&& o) noexcept : stored_(o.stored_) {
        std::copy(o.local_, o.local_ + InPlace, local_);
        o.stored_ = 0;
    }
    ARGUMENTS& operator=(const ARGUMENTS& o) {
        if (this != &o) {
            reset();
            if (o) assign(o.begin(), o.size());
        }
        return *this;
    }
    ARGUMENTS& operator=(ARGUMENTS&& o) noexcept {
        if (this != &o) {
            reset();
            stored_ = o.stored_;
            std::copy(o.local_, o.local_ + InPlace, local_);
            o.stored_ = 0;
        }
        return *this;
    }
    ~ARGUMENTS() { reset(); }

    bool has_value() const { return stored_ != 0; }
    explicit operator bool() const { return has_value(); }

    // Makes the list absent.
    void reset() {
        if (onHeap()) delete[] heap();
        stored_ = 0;
    }

    std::size_t size() const { return stored_ == 0 ? 0 : stored_ - 1; }
    bool empty() const { return size() == 0; }
    IDENT* begin() { return onHeap() ? heap() : local_; }
    IDENT* end() { return begin() + size(); }
    const IDENT* begin() const { return onHeap() ? heap() : local_; }
    const IDENT* end() const { return begin() + size(); }
    IDENT& operator[](std::size_t i) { return begin()[i]; }
    const IDENT& operator[](std::size_t i) const { return begin()[i]; }
    operator std::vector<IDENT>() const { return std::vector<IDENT>(begin(), end()); }

private:
    static constexpr std::size_t InPlace = 3;
    static_assert(sizeof(IDENT) == 4 && sizeof(IDENT*) <= InPlace * sizeof(IDENT));

    std::uint32_t stored_ = 0;  // 0: absent; otherwise 1 + the number of terms
    IDENT local_[InPlace];      // the terms, or the heap list's pointer

    bool onHeap() const { return size() > InPlace; }
    IDENT* heap() const {
        IDENT* p;
        std::memcpy(&p, static_cast<const void*>(local_), sizeof p);
        return p;
    }
    void assign(const IDENT* terms, std::size_t n) {
        stored_ = static_cast<std::uint32_t>(n + 1);
        IDENT* to = local_;
        if (onHeap()) {
            to = new IDENT[n];
            std::memcpy(static_cast<void*>(local_), &to, sizeof to);
        }
        std::copy(terms, terms + n, to);
    }
};

// A predicate applied to terms. args is absent for an atom without argument
// list; an empty list prints alike. Copies are deep.
struct ATOM {
    unsigned predicate = 0;
    ARGUMENTS args;

    static PREDICATE_NAMES& Predicates;

    ATOM() = default;
    // An atom over a predicate number as it is, without registering (builtins).
    ATOM(unsigned number, ARGUMENTS terms) : predicate(number), args(std::move(terms)) {}

    // Builds an atom by predicate name: registers the name with the arity
    // of terms (std::nullopt: no argument list) and the requested kind in
    // Predicates; throws PREDICATE_CONFLICT on a clash.
    ATOM(std::string_view name, ARGUMENTS terms,
         PREDICATE_NAMES::TYPE type = PREDICATE_NAMES::UNSPECIFIED);

    unsigned arity() const { return static_cast<unsigned>(args.size()); }
    bool hasVariable() const;
    int highestVariable() const;  // -1 when there is none
    // The predicate's name; an unregistered number is an INTERNAL_ERROR.
    // Not for an update name, which has no stored text (see name()).
    std::string_view nameView() const;
    std::string name() const;
    // True for the six comparison builtins, which bind no variable.
    bool isComparison() const;
    // True for an aggregate (see AggregateMark), which binds no variable
    // but the one its guard assigns.
    bool isAggregate() const;
    // An aggregate whose guard assigns args[0] (X = #count{...}).
    bool assigns() const;
    // True for a conditional literal (see ConditionalMark).
    bool isConditional() const;
    // True for an assignment T = U (see newAssignment).
    bool isAssignment() const;

private:
    // Registers name with arity and type, or throws PREDICATE_CONFLICT.
    static unsigned registered(std::string_view name, unsigned arity, PREDICATE_NAMES::TYPE type);
};

// A registry of generated predicates, the names one family made (see
// rewriting/auxiliary.hpp). Each name is a predicate of ATOM::Predicates,
// kept there once and marked with the family in its signature, so that the
// predicates of a family, in ATOM::Predicates' order, are its names in the
// order they were made. The minimality family's names are kept so; the
// update family's, several per input rule, are numbers (UPDATE_NAMES).
struct GENERATED_NAMES {
    PREDICATE_NAMES::FAMILY family;
    unsigned count = 0;  // the names made

    explicit GENERATED_NAMES(PREDICATE_NAMES::FAMILY f) : family(f) {}

    // (number in ATOM::Predicates, found): found when this family made name.
    std::pair<unsigned, bool> find(std::string_view name) const {
        return find(name, NAMES::hash(name));
    }
    std::pair<unsigned, bool> find(std::string_view name, std::uint32_t h) const {
        const auto [n, known] = ATOM::Predicates.find(name, h);
        if (known && ATOM::Predicates.family(n) == family) return {n, true};
        return {0, false};
    }
    bool contains(std::string_view name) const { return find(name).second; }
    bool contains(std::string_view name, std::uint32_t h) const { return find(name, h).second; }
    [[gnu::always_inline]] void prefetch(std::uint32_t h) const { ATOM::Predicates.prefetch(h); }

    // (number in ATOM::Predicates, ok): a name new to ATOM::Predicates
    // becomes an IDB predicate of arity made by this family; a name this
    // family made is ok when the arity matches; a name made otherwise is
    // never ok.
    std::pair<unsigned, bool> insert(std::string_view name, unsigned arity) {
        return insert(name, NAMES::hash(name), arity);
    }
    std::pair<unsigned, bool> insert(std::string_view name, std::uint32_t h, unsigned arity);

    unsigned size() const { return count; }
    // Predicate n of ATOM::Predicates is a name this family made.
    bool made(unsigned n) const { return ATOM::Predicates.family(n) == family; }
    // The names made, in name order.
    std::vector<NAMES_ITEM> inNameOrder() const;
    // Forgets every name; for a run that starts ATOM::Predicates afresh.
    void clear() { count = 0; }
};

// Visits every predicate in name order, the update names among them:
// visit(name, number). A live walk: a predicate that visit adds to
// ATOM::Predicates is met when it sorts after the current name. The update
// names are the ones made before the walk.
template <class VISIT>
void forEachPredicate(VISIT&& visit) {
    const PREDICATE_NAMES& P = ATOM::Predicates;
    const auto updates = updatePredicates.inNameOrder();
    auto u = updates.begin();
    auto it = P.begin();
    while (it != P.end() || u != updates.end()) {
        if (u != updates.end() && (it == P.end() || std::string_view(u->first) < it->name)) {
            visit(std::string_view(u->first), u->second);
            it = P.at(u->first);
            ++it;
            ++u;
        } else {
            visit(it->name, it->number);
            ++it;
        }
    }
}

// The registry of the minimality family's names (see rewriting/auxiliary.hpp);
// the update family's is updatePredicates (see UPDATE_NAMES).
extern GENERATED_NAMES& minimalPredicates;

// An atom that may carry default negation.
template <class A>
struct TLITERAL : A {
    bool negated = false;
    // "not not a": negated twice, which binds nothing and keeps a's
    // truth without supporting it; a negated literal in every other respect.
    bool doubled = false;

    TLITERAL() = default;
    TLITERAL(const A& atom, bool neg) : A(atom), negated(neg) {}
    TLITERAL(A&& atom, bool neg) : A(std::move(atom)), negated(neg) {}
};

using LITERAL = TLITERAL<ATOM>;

// The strongly negated atom of name: predicate "-" + name.
ATOM newNegativeATOM(std::string_view name, ARGUMENTS args);

// A builtin atom; consults no table and checks no arity.
ATOM newBuiltin(BUILTIN builtin, ARGUMENTS args);

// The assignment T = U of two terms, clingo's equality: it binds the
// variables of one side once those of the other are bound. Its predicate
// "=" is registered as a builtin when first used, so that a program
// without one keeps its tables as they were.
ATOM newAssignment(IDENT left, IDENT right);

// The complement of a predicate name: adds or removes the leading "-".
std::string complementName(std::string_view name);

// Appends one atom: its name (pexa: "-" as "NEG_") and the arguments; the
// text forms are built in strings, see AppendTerm.
void AppendAtom(std::string& out, const ATOM& atom, NOTATION notation);
// Appends one literal: "not " (pexa: "~") when negated, "not not " when
// doubled, then the atom.
void AppendLiteral(std::string& out, const LITERAL& literal, NOTATION notation);
