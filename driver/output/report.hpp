// The statistics line (-v) and the debug report (-debug) of a run.
#pragma once

#include <ostream>

#include "driver/settings.hpp"
#include "rewriting/translation.hpp"

void PrintStatistics(std::ostream& out, const TRANSLATION& translation,
                     const RUN_SETTINGS& settings);
void PrintDebugReport(std::ostream& out, const TRANSLATION& translation,
                      const RUN_SETTINGS& settings);
