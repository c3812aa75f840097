#include "driver/output/summary.hpp"

#include <sys/resource.h>

#include <chrono>

#include "common/never_destroyed.hpp"

namespace {

using CLOCK = std::chrono::steady_clock;

// Taken before main runs, as the run begins.
const CLOCK::time_point RunStart = CLOCK::now();

struct PHASE_CLOCK {
    double seconds[PhaseCount] = {};
    std::optional<PHASE> current;
    CLOCK::time_point since;
};

PHASE_CLOCK& phaseClock() {
    static PHASE_CLOCK clock;
    return clock;
}

double secondsSince(CLOCK::time_point start) {
    return std::chrono::duration<double>(CLOCK::now() - start).count();
}

double seconds(const timeval& t) { return static_cast<double>(t.tv_sec) + t.tv_usec / 1e6; }

}  // namespace

RUN_SUMMARY& RunSummary() {
    static NEVER_DESTROYED<RUN_SUMMARY> summary;
    return summary.get();
}

void StartPhase(PHASE phase) {
    PHASE_CLOCK& c = phaseClock();
    if (c.current) c.seconds[static_cast<int>(*c.current)] += secondsSince(c.since);
    c.current = phase;
    c.since = CLOCK::now();
}

double PhaseSeconds(PHASE phase) {
    const PHASE_CLOCK& c = phaseClock();
    double s = c.seconds[static_cast<int>(phase)];
    if (c.current == phase) s += secondsSince(c.since);
    return s;
}

double TotalSeconds() { return secondsSince(RunStart); }

double ProcessorSeconds() {
    double total = 0;
    for (int who : {RUSAGE_SELF, RUSAGE_CHILDREN}) {
        rusage usage{};
        if (::getrusage(who, &usage) == 0)
            total += seconds(usage.ru_utime) + seconds(usage.ru_stime);
    }
    return total;
}

void NoteOutcome(const SOLVING_OUTCOME& outcome, bool testRun) {
    RUN_SUMMARY& s = RunSummary();
    const bool unfinished = outcome.end == SOLVING_END::UNFINISHED;
    if (testRun) {
        if (unfinished) s.testReason = outcome.reason;
        return;
    }
    if (outcome.end != SOLVING_END::COMPLETE) s.more = true;
    if (unfinished) s.error = outcome.reason;
}
