// The banner, the usage and the --help text, the options' lines written
// from the option table (options.hpp).
#pragma once

#include <ostream>

// "vok [build ...]" and a blank line.
void PrintBanner(std::ostream& out);

// The usage: the command line, named as vok was started (invocation), and
// the options of the usage section.
void PrintUsage(std::ostream& out, const char* invocation);

// What --help adds to the usage: the options it leaves out, the long
// options, which evaluation program computes answer sets, and the exit
// statuses.
void PrintMoreHelp(std::ostream& out);

// --version: "vok VERSION" and the build line.
void PrintVersion(std::ostream& out);
