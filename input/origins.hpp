// Where each rule of the update sequence was read, kept only when the run
// explains its answer sets (--explain): the input and line, the rule as the
// input language writes it with the variables under their own names, and
// its head. Runs without --explain store nothing here.
#pragma once

#include <string>
#include <vector>

#include "representation/rule.hpp"

struct RULE_ORIGIN {
    unsigned input = 0;  // in OriginInputs
    unsigned line = 0;   // where the rule's head begins
    std::string text;    // "p(X) :- q(X, Y), not r(Y)."
    ATOM head;           // as read, before the rewriting renames it
    // The variable names by number; "" for an anonymous variable "_".
    std::vector<std::string> variables;
};

// The names of the inputs, in reading order; standard input is "<stdin>".
extern std::vector<std::string> OriginInputs;
// RuleOrigins[i][j]: rule j of update program i.
extern std::vector<std::vector<RULE_ORIGIN>> RuleOrigins;

// Records rule number j of program i, read from input file (empty for
// standard input) at line (called by the parser as the rule is stored), its
// variables named by names, or by the statement's own names when null.
void RecordRuleOrigin(const char* file, unsigned i, unsigned j, unsigned line, const RULE& rule,
                      const std::vector<std::string>* names = nullptr);

// The origin of rule j of program i, or null when none was recorded.
const RULE_ORIGIN* RuleOrigin(unsigned i, unsigned j);

// The rule's text with its variables named by names (a number without a
// name prints as "_"): positive body literals first, as the rule holds them.
std::string NamedRuleText(const RULE& rule, const std::vector<std::string>& names);

// Forgets every origin; for a run that starts the tables afresh (the unit
// tests).
void ResetRuleOrigins();
