// The update rewriting: translates the parsed sequence into one program.
//
// For each program in order its rejection and rewritten rules (with -strict
// its level rules), then the inertia rules, then with -min/-strict the
// global minimality rules, then for pexa the strong negation constraints.
// Rules go to Pupd, constraints to Constraints, the minimality part to
// MinRules and MinConstraints.
#pragma once

#include <vector>

#include "representation/rule.hpp"

void UpdateRewriting(std::vector<OID>& ids);
