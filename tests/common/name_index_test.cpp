// Texts kept once stay where they are, and an index finds every one of
// them by its hash, also when hashes collide and probes wrap around the end
// of the slots, before and after it grows.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "common/name_index.hpp"

namespace {

struct SLOT {
    const char* text = nullptr;
    std::uint32_t hash = 0;
    bool free() const { return !text; }
    std::uint32_t home() const { return hash; }
};

// The slot of text under the given hash (which need not be its own).
std::size_t slotOf(const NAME_INDEX<SLOT>& index, std::uint32_t hash, const std::string& text) {
    return probeIndex(index, hash, [&](const SLOT& s) {
        return s.hash == hash && NAME_TEXTS::view(s.text) == text;
    });
}

}  // namespace

TEST(NameTexts, StayWhereTheyAreWithTheirLengthAndANul) {
    NAME_TEXTS texts;
    std::vector<std::pair<const char*, std::string>> kept;
    // Enough to fill several blocks, one longer than any block.
    for (int i = 0; i < 20000; ++i) {
        std::string text = "name_" + std::to_string(i);
        if (i == 7) text.assign(std::size_t(5) << 20, 'x');
        if (i == 8) text.clear();
        kept.emplace_back(texts.add(text), text);
    }
    NAME_TEXTS moved(std::move(texts));
    for (const auto& [at, text] : kept) {
        ASSERT_EQ(NAME_TEXTS::view(at), text);
        ASSERT_EQ(std::strlen(at), text.size());
    }
}

TEST(NameIndex, FindsEveryTextThroughCollisionsAndRegrowth) {
    NAME_TEXTS texts;
    NAME_INDEX<SLOT> index;
    EXPECT_EQ(slotOf(index, 5, "a"), 0u);  // no slots yet
    regrowIndex(index, 16);
    // Hashes 14 and 15 fill the last slots, so that probes wrap around;
    // several texts share each hash.
    std::vector<std::pair<std::string, std::uint32_t>> names;
    for (int i = 0; i < 12; ++i)
        names.emplace_back("t" + std::to_string(i), 14 + i % 2 + (i % 3) * 16);
    for (const auto& [text, hash] : names) {
        const std::size_t s = slotOf(index, hash, text);
        ASSERT_TRUE(index.slots[s].free()) << text;
        index.slots[s] = {texts.add(text), hash};
    }
    EXPECT_EQ(&firstSlot(index, 15), &index.slots[15]);
    for (std::size_t size : {16, 32, 64}) {
        if (size > index.slots.size()) regrowIndex(index, size);
        for (const auto& [text, hash] : names) {
            const SLOT& slot = index.slots[slotOf(index, hash, text)];
            ASSERT_FALSE(slot.free()) << text << " in " << size;
            EXPECT_EQ(NAME_TEXTS::view(slot.text), text);
        }
        // An absent text with a hash in use, or one in no slot, finds a free slot.
        EXPECT_TRUE(index.slots[slotOf(index, 14, "absent")].free());
        EXPECT_TRUE(index.slots[slotOf(index, 3, "absent")].free());
    }
}
