// The update rewriting: translates the parsed sequence into one program.
//
// For each program in order its rejection and rewritten rules (with -strict
// its level rules), then the inertia rules, then with -min/-strict the
// global minimality rules, then for pexa the strong negation constraints.
// Rules go to Pupd, constraints to Constraints, the minimality part to
// MinRules and MinConstraints.
//
// Rule j of program i with head p(t) becomes p_Pi(t) :- B, not rej_Pi_Rj(V)
// (without the rejection literal in the most recent program), and every
// program but the most recent gets the rejection rule
// rej_Pi_Rj(V) :- B+, c_Pi'(t), B- where c is the complement of p, i' = i+1
// and V the rule's variables.
#pragma once

#include <vector>

#include "representation/rule.hpp"

void UpdateRewriting(std::vector<OID>& ids);

// The rejection and rewritten rules of program i of N, appended to Pupd; the
// rules of the program are rewritten in place.
void UpdateRewritingRules(OID& program, unsigned i, unsigned N);
