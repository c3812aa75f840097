// The option flags of the command line and the run-wide settings that
// every stage reads, set once from the driver's option record
// (driver/app/options.hpp, ApplyToGlobals) before any input is read; and a
// fact about the parsed sequence that later steps of the run read.
#pragma once

#include <cstddef>
#include <string>

extern bool OptionVerbosity;  // -v
extern bool OptionWait;       // -wait
extern bool OptionStore;      // -f= with a file name
extern bool OptionMinimal;    // -min
extern bool OptionStrict;     // -strict
extern bool OptionCautious;   // -FC=
extern bool OptionBrave;      // -FB=
extern bool OptionIntegral;   // -integral
extern bool OptionOneRun;     // --one-run: minimality decided by the evaluation program

// -P=: the type of evaluation program the program file is written for. rox
// and pexa programs print answer sets that the output filter reads back;
// the output of any other type is copied as it is.
enum class PROGRAM_TYPE { OTHER = 0, ROX = 1, PEXA = 2 };
extern PROGRAM_TYPE OptionProgram;  // ROX unless -P= says otherwise

// The answer sets of the program type are read back (rox and pexa).
inline bool ReadsAnswerSets() { return OptionProgram != PROGRAM_TYPE::OTHER; }

extern const char* WhoAmI;  // the invocation name
extern std::string Goal;    // the goal of -FB= or -FC=

extern bool OptionExplain;        // --explain: why rules were rejected, after each answer set
extern bool OptionJson;           // --json (--outf=2): one JSON document on standard output
extern bool OptionSummary;        // --stats: how the run ended, and its figures, after the results
extern std::size_t OptionModels;  // -n, --models: at most this many answer sets; 0: all
extern bool OptionSession;        // --session: updates from standard input, step by step

// --enum-mode=: the answer sets (AUTO, the default), or the atoms true in
// some (BRAVE) or in every one (CAUTIOUS), printed as one set.
enum class ENUM_MODE { AUTO, BRAVE, CAUTIOUS };
extern ENUM_MODE OptionEnumMode;
inline bool AsksConsequences() { return OptionEnumMode != ENUM_MODE::AUTO; }

// Every answer set is a candidate tested with a run of its own (-min or
// -strict, without -integral or --one-run).
inline bool TestsCandidates() {
    return (OptionMinimal || OptionStrict) && !OptionIntegral && !OptionOneRun;
}
