// Fuzz target: the whole translation. The first byte selects the options
// (program type, -min, -strict, -integral, -O=, -debug), the rest is one
// input file; whatever the parser stored is rewritten, reported, and written
// to /dev/null in the selected form and in the other one.
#include "driver/output.hpp"
#include "driver/report.hpp"
#include "fuzz_support.hpp"
#include "rewriting/rewriting.hpp"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    fuzz::silenceStreams();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    const std::uint8_t mode = data[0];
    const int program = (mode & 3) == 1 ? 2 : (mode & 3) == 2 ? 0 : 1;
    fuzz::freshRun(program);
    OptionMinimal = mode & 4;
    OptionStrict = mode & 8;
    OptionIntegral = mode & 16;
    OptionOptimize = mode & 32 ? 1 : 2;
    OptionDebug = mode & 64;
    OptionVerbosity = mode & 128;
    if (fuzz::parseInput(data + 1, size - 1, true) < 0) return -1;

    // As the driver does it: errors in standard input do not stop the run,
    // so the rewriting must take whatever the parser stored.
    if (!UpdateIDs.empty()) UpdateRewriting(UpdateIDs);
    PrintStatistics(std::cout);
    PrintDebugReport(std::cerr);
    StoreToFile("/dev/null", OptionIntegral, nullptr);
    OptionProgram = program == 2 ? 1 : 2;
    StoreToFile("/dev/null", true, &MinRules);
    OptionProgram = program;
    return 0;
}
