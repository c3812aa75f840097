// Names of the auxiliary predicates and their recognisers.
//
// Two families of generated names exist: the update family (update and
// rejection predicates, kept as numbers in updatePredicates, see
// UPDATE_NAMES) and the minimality family (registered in minimalPredicates).
// Every producer forms a base name, makes it clash-free against the
// predicates already in use, registers it with its arity and the kind IDB,
// and returns it. Asking again with the same arguments returns the same name.
//
// Clash avoidance also looks at the complement of a name: the solver reads
// "-x" as the strong negation of "x", so a generated name must not be the
// complement of an input predicate or of a name of the other family either.
// Because that test is symmetric, the update predicates of p and of -p at one
// program always stay complementary (p_P0_0 and -p_P0_0).
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "representation/rule.hpp"

// A clash-free name for the update family (registers nothing).
std::string UniquePredicateName(std::string base);

// p + "_P" + i: the literal p holds at program i.
std::string UpdatePredicate(std::string p, unsigned i, unsigned k);
// complement of p + "_P" + i: the complement of p holds at program i.
std::string ComplementUpdatePredicate(std::string p, unsigned i, unsigned k);
// The atoms over UpdatePredicate(p, i, k) and ComplementUpdatePredicate(p, i, k) with the given
// arguments, over the update name's number (see UPDATE_NAMES).
ATOM UpdateAtom(std::string_view p, unsigned i, unsigned k, const ARGUMENTS& args);
ATOM ComplementUpdateAtom(std::string_view p, unsigned i, unsigned k, const ARGUMENTS& args);
// The same for predicate number p of ATOM::Predicates, whose arity args
// has; the bases are looked up once per predicate.
ATOM UpdateAtom(unsigned p, unsigned i, const ARGUMENTS& args);
ATOM ComplementUpdateAtom(unsigned p, unsigned i, const ARGUMENTS& args);
// Prefetching for a caller about to make the update names of predicate p
// and of its complement at programs i and i + 1: first the bases of p (and
// p's text, by ATOM::Predicates.prefetchText), then, once they have
// arrived, what making the names reads.
void PrefetchUpdateBases(unsigned p);
void PrefetchUpdateNames(unsigned p, unsigned i);
// "rej_P" + i + "_R" + j: rule j of program i is rejected.
std::string RejectionPredicate(unsigned i, unsigned j, unsigned k);
// The atom over RejectionPredicate(i, j, k) with the arguments V (k of them), as
// ATOM(name, V, IDB) builds it.
ATOM RejectionAtom(unsigned i, unsigned j, const ARGUMENTS& V);
// "mrej" + the text of r after "rej": the candidate's view of rejection r.
// A name that is not a rejection predicate is returned unchanged.
std::string ModelPredicate(std::string r, unsigned k);
std::string TruthPredicateName();                       // "is_true"
std::string OkPredicateName();                          // "ok"
std::string OkPredicateAt(unsigned i);                  // "ok_P" + i
std::string EqualityPredicate(unsigned i, unsigned j);  // "eq_P" + i + "_R" + j

// Names beginning with "^", "_", "@" or a double quote and "_" are never
// predicates of the user's program.
bool HasReservedPrefix(std::string_view name);

// A predicate of the input: not reserved, not a builtin, not generated.
bool IsOriginal(std::string_view p);
// The same for predicate n of ATOM::Predicates, without a lookup.
bool IsOriginal(unsigned n);
// Some update predicate has been made from p (p + "_P" + i, maybe with a
// clash suffix).
bool IsRewritten(std::string_view p);
// The names that update predicates have been made from (those for which
// IsRewritten holds), as a name table: a walk in name order meets the names
// added while it goes on.
const NAMES& rewrittenNames();
// The predicate of ATOM::Predicates named as base b of rewrittenNames() is,
// when known without a lookup; UnknownPredicate otherwise (it may still be
// one).
unsigned BasePredicate(unsigned b);
// Starts fetching what BasePredicate(b) reads, for a walk over the bases
// that will ask soon.
void PrefetchBasePredicate(unsigned b);
// (ReadRejectionName, the numbers in a name of the rejection form, is
// common/contract.hpp's.)
// The numbers of a rejection predicate (a name RejectionPredicate made); nothing
// for any other name.
std::optional<REJECTION_NUMBERS> RejectionNumbersOf(std::string_view r);
// r was made by RejectionPredicate.
bool IsRejectionPredicate(std::string_view r);
// The level (program number + 1) of a rejection predicate, 0 for any other
// name.
unsigned RejectionLevel(std::string_view r);

// The atom over a generated predicate, for rewritings that build the same
// atom again and again: made by make() (by name, registered as IDB) while
// number is UnknownPredicate, which then receives the predicate's number,
// and over that number after. Registering a registered name once more would
// change nothing, so both ways build the same atom; the second only spares
// the lookups.
inline constexpr unsigned UnknownPredicate = ~0u;
template <class MAKE>
ATOM GeneratedAtom(unsigned& number, MAKE&& make, const ARGUMENTS& args) {
    if (number != UnknownPredicate) return ATOM(number, args);
    ATOM atom = make();
    number = atom.predicate;
    return atom;
}

// X0 .. Xk-1, absent for k = 0.
ARGUMENTS ArbitraryVariables(unsigned k);
// The variables of a rule, X0 up to its highest variable; absent when it
// has none.
ARGUMENTS variables(const RULE& rule);

// Forgets the index behind IsRewritten; for a run that starts the tables
// afresh (the unit tests).
void ResetAuxiliaryIndex();
