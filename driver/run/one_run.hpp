// Minimal answer sets computed by the evaluation program in one run
// (--one-run with -min or -strict), instead of a test run per candidate.
//
// The program file ends with the declarations the evaluation program needs:
// one comment line "%vok:rejection NAME ARITY LEVEL" per rejection predicate
// of the registry (LEVEL: program number + 1), then the closing line
// "%vok:rejections COUNT", also when nothing can be rejected. The evaluation
// program is asked for them with --minimal=min or --minimal=strict; one that
// does not know the option fails instead of printing every candidate.
#pragma once

#include <cstdio>
#include <string>

#include "driver/settings.hpp"

// Ends the run with status 1 when --one-run is given without -min or
// -strict, or with -integral.
void CheckOneRunOptions(const RUN_SETTINGS& settings);

// The declaration lines, after the program (in the pexa form after "})").
void WriteRejectionDeclarations(std::FILE* out);

// The evaluation program's options with the request for minimal (-strict:
// strictly minimal) answer sets after them, so that it is the one that
// counts.
std::string OneRunOptions(const RUN_SETTINGS& settings, const std::string& options);

// The -v line after a finished run.
void ReportOneRun(const RUN_SETTINGS& settings);
