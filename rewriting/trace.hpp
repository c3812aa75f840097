// The -debug lines of the rewriting: one per rule or constraint it adds,
// written to standard error.
#pragma once

#include <iostream>

#include "rewriting/rewriting.hpp"

// what, the rule in its text form, and directly after its final period the
// name of the receiving list (where).
inline void traceRule(const REWRITING& r, const char* what, const RULE& rule, const char* where) {
    if (!r.settings.debug) return;
    std::cerr << what;
    PrintRule(std::cerr, rule, r.settings.notation);
    std::cerr << where << '\n';
}

// what, the constraint in its text form, then tail.
inline void traceConstraint(const REWRITING& r, const char* what, const CONSTRAINT& constraint,
                            const char* tail) {
    if (!r.settings.debug) return;
    std::cerr << what;
    PrintConstraint(std::cerr, constraint, r.settings.notation);
    std::cerr << tail << '\n';
}

// Where the rules of the rewritten program are reported to go.
inline constexpr const char* ToRewrittenRules = "to the rewritten program rules.";
