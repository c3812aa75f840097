// What the generators share: their random numbers (xorshift64*, the same
// sequence for the same seed on every machine, so that a benchmark input
// is reproducible from its arguments alone) and their variables.
#pragma once

#include <cstdint>
#include <string>

struct Random {
    std::uint64_t state;
    explicit Random(std::uint64_t seed) : state(seed * 2654435761u + 1) {}
    std::uint64_t next() {
        state ^= state >> 12;
        state ^= state << 25;
        state ^= state >> 27;
        return state * 2685821657736338717ull;
    }
    unsigned below(unsigned n) { return static_cast<unsigned>(next() % n); }
    bool chance(unsigned percent) { return below(100) < percent; }
};

inline const char* const Variables[] = {"X", "Y", "Z", "W"};

// The argument list X,Y,... of the first k variables (k at most 4).
inline std::string variableArgs(unsigned k) {
    std::string s;
    for (unsigned i = 0; i < k; ++i) s += (i ? "," : "") + std::string(Variables[i]);
    return s;
}
