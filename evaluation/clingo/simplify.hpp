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
#pragma once

#include <optional>

#include "evaluation/program/syntax.hpp"

namespace vok::evaluation {

// The program without the rules and literals above, or nothing when there
// are none (or the program was not read from a file, so its names have no
// numbers). Its rules point into program's store as well as into its own,
// so program must outlive it; it has no declarations.
std::optional<PROGRAM> WithoutDeadRules(const PROGRAM& program);

}  // namespace vok::evaluation
