// The update rewriting: translates the parsed sequence into one program.
//
// For each program in order its rejection and rewritten rules (with -strict
// its level rules), then the inertia rules, then with -min/-strict the
// global minimality rules, then for pexa the strong negation constraints.
// Everything goes into a TRANSLATION (rewriting/translation.hpp).
//
// Rule j of program i with head p(t) becomes p_Pi(t) :- B, not rej_Pi_Rj(V)
// (without the rejection literal in the most recent program), and every
// program but the most recent gets the rejection rule
// rej_Pi_Rj(V) :- B+, c_Pi'(t), B- where c is the complement of p, i' = i+1
// and V the rule's variables.
#pragma once

#include <vector>

#include "representation/rule.hpp"
#include "representation/sequence.hpp"
#include "rewriting/translation.hpp"

// -O=: the predicates that get inertia rules: with SUCCINT ("succint", the
// default) those an update predicate was made from, with ALL (any other
// value) every predicate of the input.
enum class OPTIMIZATION { ALL = 1, SUCCINT = 2 };

// What the rewriting is asked to make besides the rules of the sequence.
struct REWRITING_SETTINGS {
    bool minimal = false;                           // -min: the minimality part
    bool strict = false;                            // -strict: the minimality part level by level
    OPTIMIZATION optimize = OPTIMIZATION::SUCCINT;  // -O=: which predicates get inertia rules
    // The pexa program type, which has no strong negation: a constraint
    // keeps each predicate and its complement apart.
    bool strongNegationConstraints = false;
    bool debug = false;                   // -debug: a line on standard error for every rule made
    NOTATION notation = NOTATION::INPUT;  // of the translation, and of those lines
};

// A rewriting under way: where it puts what it makes, and what it is asked.
struct REWRITING {
    TRANSLATION& translation;
    const REWRITING_SETTINGS& settings;

    bool minimality() const { return settings.minimal || settings.strict; }
};

// Translates the programs, rewriting their rules in place, into
// translation; the input constraints are moved into its constraints first.
void UpdateRewriting(std::vector<UPDATE_PROGRAM>& programs,
                     std::vector<CONSTRAINT>& inputConstraints, const REWRITING_SETTINGS& settings,
                     TRANSLATION& translation);

// The rejection and rewritten rules of program i of N, appended to the
// translation's rules; the rules of the program are rewritten in place.
void UpdateRewritingRules(REWRITING& r, UPDATE_PROGRAM& program, unsigned i, unsigned N);
