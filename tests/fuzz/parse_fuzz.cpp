// Fuzz target: arbitrary bytes as one input file, scanned and parsed into
// fresh tables. An input read without any error is printed back as blocks,
// one per update program; that text must read without error, and once its
// variables are numbered in the order they are written (after one reading),
// printing and reading again must not change it.
#include <sstream>
#include <string>

#include "fuzz_support.hpp"

namespace {

// The stored sequence as input text (the rox form, which the parser reads
// for every program type); the constraints, which belong to no program, go
// into the first block.
std::string printed() {
    std::ostringstream out;
    for (std::size_t i = 0; i < TestSequence().programs.size(); ++i) {
        out << "{\n";
        PrintList(out, *TestSequence().programs[i].rules, "\n", NOTATION::INPUT);
        out << "\n";
        if (i == 0) PrintList(out, TestSequence().constraints, "\n", NOTATION::INPUT);
        out << "\n}\n";
    }
    return out.str();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // The first byte picks the program type: with rox the builtins exist.
    const PROGRAM_TYPE program = size > 0 && (data[0] & 1) ? PROGRAM_TYPE::PEXA : PROGRAM_TYPE::ROX;
    fuzz::freshRun(program);
    const int result = fuzz::parseInput(data, size, false);
    if (result < 0) return -1;  // kept out of the corpus
    std::ostringstream names;
    PrintList(names, ATOM::Predicates.begin(), ATOM::Predicates.end(), ", ", NotationOf(program));
    if (result != 0 || TestParser().errors != 0) return 0;

    std::string previous = printed();
    for (int round = 0; round < 2; ++round) {
        fuzz::freshRun(program);
        const auto* text = reinterpret_cast<const std::uint8_t*>(previous.data());
        if (fuzz::parseInput(text, previous.size(), false) != 0 || TestParser().errors != 0)
            __builtin_trap();
        std::string again = printed();
        if (round == 1 && again != previous) __builtin_trap();
        previous = std::move(again);
    }
    return 0;
}
