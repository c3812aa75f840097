// What the generators share: their random numbers (xorshift64*, the same
// sequence for the same seed on every machine, so that a benchmark input
// is reproducible from its arguments alone) and their variables.
#pragma once

#include <cstdint>
#include <cstdio>
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

// Standard output in pieces of about a MiB, so that an input of 10^6 rules
// is never held whole.
struct OUTPUT {
    std::string text;

    void line(const std::string& s) {
        text += s;
        text += '\n';
        if (text.size() > (1 << 20)) flush();
    }
    void flush() {
        std::fwrite(text.data(), 1, text.size(), stdout);
        text.clear();
    }
    // The exit status: 1 when a write failed.
    int finish() {
        flush();
        return std::ferror(stdout) || std::fflush(stdout) != 0 ? 1 : 0;
    }
};
