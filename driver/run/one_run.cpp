#include "one_run.hpp"

#include <iostream>
#include <string_view>

#include "base/exits.hpp"
#include "base/options.hpp"
#include "common/contract.hpp"
#include "rewriting/auxiliary.hpp"

void CheckOneRunOptions() {
    if (!OptionOneRun) return;
    if (!OptionMinimal && !OptionStrict) {
        std::cerr << "--one-run needs -min or -strict." << std::endl;
        throw END_OF_RUN{1};
    }
    if (OptionIntegral) {
        std::cerr << "--one-run cannot be combined with -integral." << std::endl;
        throw END_OF_RUN{1};
    }
}

void WriteRejectionDeclarations(std::FILE* out) {
    // In the order the rewriting made them, which follows the input.
    unsigned count = 0;
    updatePredicates.forEachRejection([&](unsigned n) {
        const std::string name = updatePredicates.text(n);
        std::fputs(RejectionDeclaration(name, updatePredicates.arity(n), getLevel(name)).c_str(),
                   out);
        ++count;
    });
    std::fputs(RejectionCountDeclaration(count).c_str(), out);
}

std::string OneRunOptions(const std::string& options) {
    // -strict wins when both are given, as it does for the candidate tests.
    const std::string request =
        std::string(MinimalOption) + std::string(OptionStrict ? StrictMinimalMode : MinimalMode);
    return options.empty() ? request : options + " " + request;
}

void ReportOneRun() {
    std::cout << (OptionStrict ? "Strict minimal" : "Minimal")
              << " answer sets computed by the evaluation program." << std::endl;
}
