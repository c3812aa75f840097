// Leaves out of a program what can never hold: a ground rule with a body
// atom that no rule can make true never applies, and "not a" where no rule
// can make a true always holds. A large update sequence is full of both:
// the rejection rule of every fact that no update touches, and the "not"
// of the rejection atom in the fact's rewritten rule, which then becomes a
// fact itself. clingo grounds a fact far more cheaply than a rule.
//
// The answer sets stay exactly the same: the rules left out never apply and
// the literals left out always hold. Only ground rules without builtins are
// changed or left out, so no rule whose translation may fail (an unsafe
// variable, arithmetic without a largest integer) goes unchecked.
//
// Every step is sound for every program, stratified or not, normal or
// disjunctive, whatever its number of answer sets; none needs strata. The
// atoms that "may hold" are all those heading a rule not found to never
// apply; every atom true in an answer set heads a rule whose positive body
// is true in it, so by induction on when an atom was found to have no such
// rule, no answer set holds an atom that may not hold. Hence:
// - a rule with a positive body atom that may not hold is false in its
//   body in every answer set, of this program and of the one without the
//   rule alike, and leaving it out changes no answer set (nor the reduct's
//   least model);
// - "not a" where a may not hold is true in every answer set.
// An atom left out this way is false in every answer set, so no rejection
// set holds it: the one-run script (one_run.hpp), which decides, assumes and
// blocks rejection atoms, needs none of them. (A step sound only for
// stratified programs, such as taking "not a" for true where a is false in
// the one answer set that evaluating the strata bottom up gives, would have
// to be kept to them: without strata a may hold in some answer sets and
// not in others. There is none here.)
#pragma once

#include <optional>

#include "evaluation/program/syntax.hpp"

namespace vok::evaluation {

// The program without the rules and literals above, or nothing when there
// are none (or the program was not read from a file, so its names have no
// numbers). Its rules point into program's store as well as into its own,
// so program must outlive it; it has no declarations.
std::optional<PROGRAM> WithoutDeadRules(const PROGRAM& program);

// Whether every predicate name carries the number the reader gave it (a
// program made in memory has none).
bool EveryNameNumbered(const PROGRAM& program);

}  // namespace vok::evaluation
