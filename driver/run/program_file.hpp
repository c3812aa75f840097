// Writing program files in the rox form (one item a line) or the pexa form
// (one bracketed list).
#pragma once

#include <string>

#include "driver/settings.hpp"
#include "representation/rule.hpp"
#include "rewriting/translation.hpp"

// What a program file holds besides the translation's rules and
// constraints.
enum class PROGRAM_FILE {
    PLAIN,
    ONE_RUN,   // --one-run: the declarations of the rejection predicates at the end
    INTEGRAL,  // -integral and a candidate's test: the minimality part and the extra rules
};

// Writes the translation's rules, then for INTEGRAL its minimality rules
// and the extra rules, then its constraints, then for INTEGRAL its
// minimality constraints, in the translation's notation. Ends the run with
// status 1 when the file cannot be opened or fully written.
void StoreToFile(const TRANSLATION& translation, std::string file, PROGRAM_FILE kind,
                 const RULES* extra);

// "Storing file FILE ..." on standard output, with -f= and -v.
void AnnounceStoring(const RUN_SETTINGS& settings, const std::string& file);

// Creates a new temporary program file in directory, named as
// common/contract.hpp says; returns the name, or "" when it cannot be
// created. The file is registered for removal at every exit.
std::string CreateTemporaryFile(const std::string& directory);

// Creates name exclusively (never through a link) and registers it for
// removal; false when that fails.
bool CreateExclusiveFile(const std::string& name);
