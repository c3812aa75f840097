// The limits of a run, -n (answer sets) and --time-limit (seconds of
// solving), and what --stats asks of the evaluation program: passed to it
// in its own terms, except where vok keeps a limit itself.
//
// With -min or -strict tested per candidate, the evaluation program lists
// candidates, not minimal answer sets, so -n is vok's to count: the main
// run gets no limit, and vok stops it once n answer sets stand. The time
// limit counts from the start of solving for the whole run: the main run
// gets all of it, each candidate test the seconds that remain, and a test
// that would start after the end is not started.
#pragma once

#include <string>

#include "driver/settings.hpp"

// The status of a run whose time limit is reached, vok's own or the
// evaluation program's (rox-clingo and pexa-clingo end with it then).
inline constexpr int TimeLimitStatus = 3;

// The evaluation program's options for one run: those given (-o=, with
// --one-run the request for minimal answer sets), then -n=<k> unless vok
// counts the answer sets itself, --clingo-option=--time-limit=<s>, with
// --stats or --json (for rox and pexa) the request for its outcome line,
// without -v the request not to say on standard error that -n=<k> was
// reached (vok's -n is the user's own limit), and with --enum-mode=brave or
// cautious the request for the consequences.
std::string RunOptions(const RUN_SETTINGS& settings, const std::string& options, bool testRun);

// Whether the outcome line is asked for (--stats, --json): it tells whether
// more answer sets may exist.
bool AsksOutcome(const RUN_SETTINGS& settings);

// vok stops the main run itself once this many answer sets stand; 0: it
// does not (no -n, or the evaluation program keeps the limit).
std::size_t OwnAnswerSetLimit(const RUN_SETTINGS& settings);

// Noted for --stats and --json; with -v also "Stopped after n minimal
// answer sets (-n n); there may be more." on standard error.
void ReportOwnLimitReached(const RUN_SETTINGS& settings);

// Whether the time limit has passed since solving began (false without
// one).
bool TimeIsUp(const RUN_SETTINGS& settings);

// "time limit of S s reached before solving finished".
std::string TimeLimitReason(const RUN_SETTINGS& settings);
