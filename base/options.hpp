// The option flags of the command line and the run-wide settings that
// every stage reads, set once by main before any input is read; and two
// facts about the parsed sequence that later steps of the run read.
#pragma once

#include <string>

extern bool OptionStats;      // -stats: accepted, no effect
extern bool OptionVerbosity;  // -v
extern bool OptionWait;       // -wait
extern bool OptionSilent;     // -silent
extern bool OptionStore;      // -f= with a file name
extern bool OptionDebug;      // -debug
extern bool OptionMinimal;    // -min
extern bool OptionStrict;     // -strict
extern bool OptionCautious;   // -FC=
extern bool OptionBrave;      // -FB=
extern bool OptionIntegral;   // -integral
extern bool OptionOneRun;     // --one-run: minimality decided by the evaluation program
extern int OptionProgram;     // -P=: 1 rox (default), 2 pexa, 0 any other type
extern int OptionOptimize;    // -O=: 2 succint (default), 1 any other value

extern const char* WhoAmI;    // the invocation name
extern std::string Goal;      // the goal of -FB= or -FC=
extern bool UpdatesExist;     // the parsed sequence holds at least one program
extern bool IsPropositional;  // no atom with an argument list was read (pexa needs that)

extern bool OptionExplain;  // --explain: why rules were rejected, after each answer set
extern bool OptionJson;     // --json: one JSON document on standard output
