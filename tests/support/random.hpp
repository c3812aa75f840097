// The random programs' numbers: splitmix64, the same sequence for the same
// seed on every machine, so that a failing seed can be run again.
#pragma once

#include <cstdint>
#include <vector>

struct RANDOM {
    std::uint64_t state;
    // Seeds are mixed first, so that neighbouring seeds give unrelated runs.
    explicit RANDOM(std::uint64_t seed) : state(seed) { state = next(); }
    std::uint64_t next() {
        std::uint64_t z = (state += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }
    unsigned below(unsigned n) { return static_cast<unsigned>(next() % n); }
    bool chance(unsigned percent) { return below(100) < percent; }
    template <typename T>
    const T& pick(const std::vector<T>& v) {
        return v[below(static_cast<unsigned>(v.size()))];
    }
};
