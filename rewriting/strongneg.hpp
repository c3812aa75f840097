// Strong negation constraints for the pexa program type, which has no strong
// negation of its own: for every predicate p, the constraint
// :- p(X0,...,Xk-1), -p(X0,...,Xk-1).
#pragma once

#include <string>

#include "rewriting/rewriting.hpp"

// One constraint per predicate pair of ATOM::Predicates (live walk in name
// order), builtins and reserved names left out.
void addStrongNegCons(REWRITING& r);

// Appends :- name(V), complement(V). to the translation's constraints;
// V = X0 .. Xk-1.
void addNegConstraint(REWRITING& r, std::string name, unsigned k);
