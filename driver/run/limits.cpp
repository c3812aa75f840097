#include "driver/run/limits.hpp"

#include <algorithm>
#include <cmath>
#include <iostream>

#include "base/options.hpp"
#include "common/contract.hpp"
#include "driver/output/summary.hpp"

namespace {

void addOption(std::string& options, const std::string& option) {
    if (!options.empty()) options += ' ';
    options += option;
}

// Whole seconds for a run that starts now: all of the limit for the main
// run, what remains of it (rounded up, at least 1) for a test.
unsigned secondsFor(bool testRun) {
    if (!testRun) return OptionTimeLimit;
    const double left = OptionTimeLimit - PhaseSeconds(PHASE::SOLVING);
    return static_cast<unsigned>(std::max(1.0, std::ceil(left)));
}

}  // namespace

std::string RunOptions(const std::string& options, bool testRun) {
    std::string all = options;
    if (OptionModels && !testRun && !TestsCandidates())
        addOption(all, "-n=" + std::to_string(OptionModels));
    if (OptionTimeLimit)
        addOption(all, "--clingo-option=--time-limit=" + std::to_string(secondsFor(testRun)));
    if (AsksOutcome()) addOption(all, std::string(OutcomeOption));
    if (OptionModels && !testRun && !TestsCandidates() && !OptionVerbosity)
        addOption(all, std::string(NoLimitWarningOption));
    if (!testRun && AsksConsequences())
        addOption(all,
                  std::string(ConsequencesOption) +
                      std::string(OptionEnumMode == ENUM_MODE::BRAVE ? BraveMode : CautiousMode));
    return all;
}

bool AsksOutcome() { return (OptionSummary || OptionJson) && ReadsAnswerSets(); }

std::size_t OwnAnswerSetLimit() { return TestsCandidates() ? OptionModels : 0; }

void ReportOwnLimitReached() {
    RunSummary().more = true;
    // The user set the limit: that it was reached is said with -v only.
    if (!OptionVerbosity) return;
    const std::size_t n = OptionModels;
    std::cout.flush();
    std::cerr << "Stopped after " << n << (OptionStrict ? " strict" : "") << " minimal answer "
              << (n == 1 ? "set" : "sets") << " (-n " << n << "); there may be more." << std::endl;
}

bool TimeIsUp() { return OptionTimeLimit && PhaseSeconds(PHASE::SOLVING) >= OptionTimeLimit; }

std::string TimeLimitReason() {
    return "time limit of " + std::to_string(OptionTimeLimit) +
           " s reached before solving finished";
}
