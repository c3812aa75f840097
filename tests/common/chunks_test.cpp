// Chunks below and above a huge page are usable to their last byte, and
// serve a container that grows through both.
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "common/chunks.hpp"

TEST(Chunks, AreUsableOnEitherSideOfAHugePage) {
    for (std::size_t size :
         {std::size_t(2), std::size_t(4096), HugePage - 1, HugePage, std::size_t(3) << 20}) {
        auto* chunk = static_cast<unsigned char*>(allocateChunk(size));
        chunk[0] = 1;
        chunk[size - 1] = 2;
        EXPECT_EQ(chunk[0] + chunk[size - 1], 3) << size;
        // Large chunks start on a huge page, where the huge pages go.
        if (size >= HugePage) {
            EXPECT_EQ(reinterpret_cast<std::uintptr_t>(chunk) % HugePage, 0u);
        }
        releaseChunk(chunk, size);
    }
    std::vector<std::uint32_t, CHUNK_ALLOCATOR<std::uint32_t>> grown;
    for (std::uint32_t i = 0; i < (1u << 20); ++i) grown.push_back(i);
    EXPECT_EQ(grown[12345], 12345u);
    EXPECT_EQ(grown.back(), (1u << 20) - 1);
}
