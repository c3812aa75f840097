// Writing program files in the rox form (one item a line) or the pexa form
// (one bracketed list).
#pragma once

#include <string>

#include "representation/rule.hpp"
#include "rewriting/translation.hpp"

// Writes the translation's rules, then with integral its minimality rules
// and the extra rules, then its constraints, then with integral its
// minimality constraints. Ends the run with status 1 when the file cannot
// be opened or fully written.
void StoreToFile(const TRANSLATION& translation, std::string file, bool integral,
                 const RULES* extra);

// Creates a new temporary program file in directory, named as
// common/contract.hpp says; returns the name, or "" when it cannot be
// created. The file is registered for removal at every exit.
std::string CreateTemporaryFile(const std::string& directory);

// Creates name exclusively (never through a link) and registers it for
// removal; false when that fails.
bool CreateExclusiveFile(const std::string& name);
