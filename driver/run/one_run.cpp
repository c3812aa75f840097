#include "one_run.hpp"

#include <iostream>
#include <string_view>

#include "base/exits.hpp"
#include "common/contract.hpp"
#include "rewriting/auxiliary.hpp"

void CheckOneRunOptions(const RUN_SETTINGS& settings) {
    if (!settings.oneRun) return;
    if (!settings.minimal && !settings.strict) {
        std::cerr << "--one-run needs -min or -strict." << std::endl;
        throw END_OF_RUN{1};
    }
    if (settings.integral) {
        std::cerr << "--one-run cannot be combined with -integral." << std::endl;
        throw END_OF_RUN{1};
    }
}

void WriteRejectionDeclarations(std::FILE* out) {
    // In the order the rewriting made them, which follows the input.
    unsigned count = 0;
    updatePredicates.forEachRejection([&](unsigned n) {
        const std::string name = updatePredicates.text(n);
        std::fputs(
            RejectionDeclaration(name, updatePredicates.arity(n), RejectionLevel(name)).c_str(),
            out);
        ++count;
    });
    std::fputs(RejectionCountDeclaration(count).c_str(), out);
}

std::string OneRunOptions(const RUN_SETTINGS& settings, const std::string& options) {
    // -strict wins when both are given, as it does for the candidate tests.
    const std::string request =
        std::string(MinimalOption) + std::string(settings.strict ? StrictMinimalMode : MinimalMode);
    return options.empty() ? request : options + " " + request;
}

void ReportOneRun(const RUN_SETTINGS& settings) {
    std::cout << (settings.strict ? "Strict minimal" : "Minimal")
              << " answer sets computed by the evaluation program." << std::endl;
}
