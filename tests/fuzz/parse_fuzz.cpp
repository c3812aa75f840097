// Fuzz target: arbitrary bytes as one input file, scanned and parsed into
// fresh tables; what was stored is printed, as the debug report does.
#include <sstream>

#include "fuzz_support.hpp"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    fuzz::silenceStreams();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // The first byte picks the program type: with rox the builtins exist.
    const int program = size > 0 && (data[0] & 1) ? 2 : 1;
    fuzz::freshRun(program);
    if (!fuzz::parseInput(data, size, false)) return -1;  // kept out of the corpus
    std::ostringstream out;
    for (const OID& p : UpdateIDs) print_list(out, *p.rules, "\n");
    print_list(out, Constraints, "\n");
    print_list(out, ATOM::Predicates.begin(), ATOM::Predicates.end(), ", ");
    return 0;
}
