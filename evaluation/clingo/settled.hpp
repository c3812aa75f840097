// The atoms a program's facts settle, computed here instead of by clingo,
// for the consequences of a large knowledge base.
//
// A predicate is settled when every rule that heads it is a fact, or has a
// single body atom, positive and of a settled predicate, with constants,
// integers, strings and variables for arguments: the facts of a knowledge
// base and the inertia rules p(X) :- p_P0(X) above them. The atoms of the
// settled predicates form a splitting set of the program whose bottom part
// is definite; it has exactly one answer set, its least model M, and the
// answer sets of the program are those of the other rules, taken with M,
// each joined with M. A settled predicate that no other rule looks at (in
// its body, or as the complement of its head: clingo makes p and -p a
// constraint) and whose atoms clash with none of another settled predicate
// therefore need not go to clingo at all: its atoms of M are true in every
// answer set, and in none when there is none. The rules that derive the
// settled predicates clingo still sees stay, so clingo derives those
// itself.
//
// So the brave and the cautious consequences of the program are those of
// the rules given to clingo plus the atoms left out, whenever those rules
// have an answer set. For a knowledge base of many facts with a small
// update, clingo grounds the update and the few facts it may touch instead
// of the whole base twice over (the facts and their inertia copies).
//
// Programs with choices or aggregates are left as they are: an aggregate
// keeps the atoms it looks at in its text, where no rule here sees them.
#pragma once

#include <optional>
#include <string>

#include "evaluation/program/syntax.hpp"

namespace vok::evaluation {

struct SETTLED_PART {
    // The rules clingo is given, in the program's order; they point into
    // the program's store, which must outlive them.
    PROGRAM rest;
    // The atoms left out, in clingo's output form ("-p(a,1) q(\"s\")"),
    // separated by blanks, in the order they were derived.
    std::string atoms;
};

// The program without the settled predicates that clingo need not see, or
// nothing when no atom would be left out (or the program was not read
// from a file, so its names have no numbers).
std::optional<SETTLED_PART> WithoutSettledAtoms(const PROGRAM& program);

}  // namespace vok::evaluation
