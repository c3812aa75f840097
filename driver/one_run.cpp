#include "one_run.hpp"

#include <iostream>
#include <string_view>

#include "base/exits.hpp"
#include "base/options.hpp"
#include "rewriting/auxiliary.hpp"

void CheckOneRunOptions() {
    if (!OptionOneRun) return;
    if (!OptionMinimal && !OptionStrict) {
        std::cerr << "--one-run needs -min or -strict." << std::endl;
        SafeExit(1);
    }
    if (OptionIntegral) {
        std::cerr << "--one-run cannot be combined with -integral." << std::endl;
        SafeExit(1);
    }
}

void WriteRejectionDeclarations(std::FILE* out) {
    // In the order the rewriting made them, which follows the input.
    unsigned count = 0;
    for (unsigned n = 0; n < updatePredicates.size(); ++n) {
        const std::string_view name = updatePredicates.text(n);
        if (!isRejectionPred(name)) continue;
        std::fprintf(out, "%%vok:rejection %.*s %u %u\n", static_cast<int>(name.size()),
                     name.data(), updatePredicates.arity(n), getLevel(name));
        ++count;
    }
    std::fprintf(out, "%%vok:rejections %u\n", count);
}

std::string OneRunOptions(const std::string& options) {
    // -strict wins when both are given, as it does for the candidate tests.
    const std::string request = OptionStrict ? "--minimal=strict" : "--minimal=min";
    return options.empty() ? request : options + " " + request;
}

void ReportOneRun() {
    std::cout << (OptionStrict ? "Strict minimal" : "Minimal")
              << " answer sets computed by the evaluation program." << std::endl;
}
