// The statistics line (-v) and the debug report (-debug) of a run.
#pragma once

#include <ostream>

#include "rewriting/translation.hpp"

void PrintStatistics(std::ostream& out, const TRANSLATION& translation);
void PrintDebugReport(std::ostream& out, const TRANSLATION& translation);
