// The global part of the minimality test (-min, -strict): the level rules,
// the minimality rejection constraints, the ok constraint and the truth fact.
//
// A test program has an answer set when some answer set of the rewritten
// program rejects only rule instances the candidate rejects (told by the
// model rejection facts mrej_...) and leaves out at least one of them (which
// derives ok). With -strict the comparison runs level by level from the most
// recent program down: eq_PL_R0 holds while no ok_P of level L or above
// does.
#pragma once

#include <string>

#include "representation/rule.hpp"
#include "rewriting/rewriting.hpp"

// Appends head :- body. to the translation's minimality rules, or :- body.
// to its minimality constraints when the head has no atom.
void createMinRule(REWRITING& r, const HEAD& head, const BODY& body);

// ok :- ok_PL.  and  eq_PL_R0 :- eq_P(L+1)_R0, not ok_PL.  for level L.
void addLevelRules(REWRITING& r, unsigned L);

// :- r(V), [eq_P(L+1)_R0,] not mrej(V).  for the rejection predicate r of a
// rule of level L with k variables.
void createMinRejCons(REWRITING& rewriting, std::string r, unsigned L, unsigned k);

// :- not ok.  then with -strict eq_P(N+1)_R0 :- is_true.  then the truth
// fact is_true :- .  among the translation's rules.
void addMinRules(REWRITING& r, unsigned N);
