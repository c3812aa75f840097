// Strong negation constraints for the pexa program type, which has no strong
// negation of its own: for every predicate p, the constraint
// :- p(X0,...,Xk-1), -p(X0,...,Xk-1).
#pragma once

#include <string>

// One constraint per predicate pair of ATOM::Predicates (live walk in name
// order), builtins and reserved names left out.
void addStrongNegCons();

// Appends :- name(V), complement(V). to Constraints; V = X0 .. Xk-1.
void addNegConstraint(std::string name, unsigned k);
