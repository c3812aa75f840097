#include "driver/run/limits.hpp"

#include <algorithm>
#include <cmath>
#include <iostream>

#include "common/contract.hpp"
#include "driver/output/summary.hpp"

namespace {

void addOption(std::string& options, const std::string& option) {
    if (!options.empty()) options += ' ';
    options += option;
}

// Whole seconds for a run that starts now: all of the limit for the main
// run, what remains of it (rounded up, at least 1) for a test.
unsigned secondsFor(const RUN_SETTINGS& settings, bool testRun) {
    if (!testRun) return settings.timeLimit;
    const double left = settings.timeLimit - PhaseSeconds(PHASE::SOLVING);
    return static_cast<unsigned>(std::max(1.0, std::ceil(left)));
}

}  // namespace

std::string RunOptions(const RUN_SETTINGS& settings, const std::string& options, bool testRun) {
    std::string all = options;
    if (settings.models && !testRun && !settings.testsCandidates())
        addOption(all, "-n=" + std::to_string(settings.models));
    if (settings.timeLimit)
        addOption(all,
                  "--clingo-option=--time-limit=" + std::to_string(secondsFor(settings, testRun)));
    if (AsksOutcome(settings)) addOption(all, std::string(OutcomeOption));
    if (settings.models && !testRun && !settings.testsCandidates() && !settings.verbose)
        addOption(all, std::string(NoLimitWarningOption));
    if (!testRun && settings.asksConsequences())
        addOption(
            all, std::string(ConsequencesOption) +
                     std::string(settings.enumMode == ENUM_MODE::BRAVE ? BraveMode : CautiousMode));
    return all;
}

bool AsksOutcome(const RUN_SETTINGS& settings) {
    return (settings.stats || settings.json) && settings.readsAnswerSets();
}

std::size_t OwnAnswerSetLimit(const RUN_SETTINGS& settings) {
    return settings.testsCandidates() ? settings.models : 0;
}

void ReportOwnLimitReached(const RUN_SETTINGS& settings) {
    RunSummary().more = true;
    // The user set the limit: that it was reached is said with -v only.
    if (!settings.verbose) return;
    const std::size_t n = settings.models;
    std::cout.flush();
    std::cerr << "Stopped after " << n << (settings.strict ? " strict" : "") << " minimal answer "
              << (n == 1 ? "set" : "sets") << " (-n " << n << "); there may be more." << std::endl;
}

bool TimeIsUp(const RUN_SETTINGS& settings) {
    return settings.timeLimit && PhaseSeconds(PHASE::SOLVING) >= settings.timeLimit;
}

std::string TimeLimitReason(const RUN_SETTINGS& settings) {
    return "time limit of " + std::to_string(settings.timeLimit) +
           " s reached before solving finished";
}
