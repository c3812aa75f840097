// Where each rule of the update sequence was read, kept in the sequence's
// RULE_ORIGINS only when the run explains its answer sets (--explain).
#pragma once

#include <string>
#include <vector>

#include "representation/rule.hpp"
#include "representation/sequence.hpp"

// Records rule number j of program i, read from input file (empty for
// standard input) at line (called by the parser as the rule is stored), its
// variables named by names, by number.
void RecordRuleOrigin(RULE_ORIGINS& origins, const char* file, unsigned i, unsigned j,
                      unsigned line, const RULE& rule, const std::vector<std::string>& names);

// The origin of rule j of program i, or null when none was recorded.
const RULE_ORIGIN* RuleOrigin(const RULE_ORIGINS& origins, unsigned i, unsigned j);

// The rule's text with its variables named by names (a number without a
// name prints as "_"): positive body literals first, as the rule holds them.
std::string NamedRuleText(const RULE& rule, const std::vector<std::string>& names);
