// Inertia (propagation) rules: what holds at program n also holds at program
// n-1, and what holds at program 0 is what the sequence finally says.
//
// For a selected predicate p and n = N-1 down to 1:
//   p_P(n-1)(V) :- p_Pn(V).     and the same for the complement of p,
// and for n = 0:
//   p(V) :- p_P0(V).            and -p(V) :- -p_P0(V).
#pragma once

#include <string>

#include "representation/atom.hpp"
#include "rewriting/rewriting.hpp"

// Adds the inertia rules of every selected predicate of ATOM::Predicates to
// the translation, walking the live table in name order.
void UpdateRewritingPropagation(REWRITING& r, unsigned N);

// The two inertia rules of p (arity k) for program number n.
void addPropRules(REWRITING& r, std::string p, unsigned n, unsigned k);

// Appends head :- body and complementHead :- complementBody (each over the
// same variables) to the translation's inertia rules, which stand in the
// translated program after the rules it held when the first of them was
// made.
void createPropRules(REWRITING& r, const ATOM& head, const ATOM& body, const ATOM& complementHead,
                     const ATOM& complementBody);
