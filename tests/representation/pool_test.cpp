// Blocks: every live block keeps its own bytes, whatever sizes
// were asked for, given back and asked for again.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <vector>

#include "representation/pool.hpp"

namespace {

struct LIVE {
    unsigned char* bytes;
    std::size_t size;
    unsigned char mark;
};

void fill(LIVE& b) { std::memset(b.bytes, b.mark, b.size); }

bool intact(const LIVE& b) {
    for (std::size_t i = 0; i < b.size; ++i)
        if (b.bytes[i] != b.mark) return false;
    return true;
}

TEST(Pool, LiveBlocksNeverOverlap) {
    std::vector<LIVE> live;
    unsigned char mark = 0;
    auto make = [&](std::size_t size) {
        LIVE b{static_cast<unsigned char*>(allocateBlock(size)), size, ++mark};
        ASSERT_EQ(reinterpret_cast<std::uintptr_t>(b.bytes) % 8, 0u) << size;
        fill(b);
        live.push_back(b);
    };
    // Sizes around the rounding and the largest pooled size, enough of them
    // to need several chunks.
    for (int round = 0; round < 40; ++round)
        for (std::size_t size : {1, 7, 8, 9, 52, 88, 124, 2047, 2048, 2049, 5000}) make(size);
    for (std::size_t i = 0; i < live.size(); i += 2) {
        ASSERT_TRUE(intact(live[i]));
        releaseBlock(live[i].bytes, live[i].size);
        live[i].size = 0;
    }
    for (int round = 0; round < 40; ++round)
        for (std::size_t size : {88, 3, 2048, 124, 6000}) make(size);
    for (const LIVE& b : live) EXPECT_TRUE(intact(b));
    for (const LIVE& b : live)
        if (b.size) releaseBlock(b.bytes, b.size);
}

}  // namespace
