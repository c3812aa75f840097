// The statistics line (-v) and the debug report (-debug) of a run.
#pragma once

#include <ostream>

void PrintStatistics(std::ostream& out);
void PrintDebugReport(std::ostream& out);
