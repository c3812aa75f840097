// Names looked up by the million: in vok the tables of constants and
// predicates, in the evaluation programs the predicate names of a read
// program. Both keep each distinct text once, in blocks that never move
// (NAME_TEXTS), and find it through an open-addressing hash index whose
// slots hold the text's hash beside what the owner keeps of it (its number,
// or where its text is), so that most probes need no text and regrowth
// needs none.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <functional>
#include <string_view>
#include <utility>
#include <vector>

#include "common/chunks.hpp"

// Texts back to back in blocks that never move, so that a text's address
// stays valid for the owner's life however many texts follow. Each text is
// preceded by its length (4 bytes, unaligned) and ends in a NUL, so that
// it is also a C string.
class NAME_TEXTS {
public:
    NAME_TEXTS() = default;
    NAME_TEXTS(const NAME_TEXTS&) = delete;
    NAME_TEXTS& operator=(const NAME_TEXTS&) = delete;
    NAME_TEXTS(NAME_TEXTS&& o) noexcept { swap(o); }
    NAME_TEXTS& operator=(NAME_TEXTS&& o) noexcept {
        NAME_TEXTS gone(std::move(*this));
        swap(o);
        return *this;
    }
    ~NAME_TEXTS();

    // Stores a copy of text; the result points at its first character.
    const char* add(std::string_view text);

    // The text stored at p (a result of add).
    static std::string_view view(const char* p) {
        std::uint32_t length;
        std::memcpy(&length, p - sizeof length, sizeof length);
        return {p, length};
    }

private:
    struct BLOCK {
        char* bytes;
        std::size_t size;
    };
    std::vector<BLOCK> blocks_;
    char* free_ = nullptr;  // the unused rest of the block being filled
    std::size_t room_ = 0;
    std::size_t next_ = std::size_t(1) << 16;  // the size of the next block

    void swap(NAME_TEXTS& o) noexcept {
        std::swap(blocks_, o.blocks_);
        std::swap(free_, o.free_);
        std::swap(room_, o.room_);
        std::swap(next_, o.next_);
    }
};

// The hash the index places a text by.
inline std::uint32_t nameHash(std::string_view text) {
    return static_cast<std::uint32_t>(std::hash<std::string_view>{}(text));
}

// The slots of an index: empty, or a power of two of them, with linear
// probing from the slot the hash's low bits name. A SLOT says whether it is
// free (`free()`) and gives the hash of the text it holds (`home()`), by
// which it is placed; a value-initialised SLOT is free. The owner decides
// when the index grows.
template <class SLOT>
struct NAME_INDEX {
    std::vector<SLOT, CHUNK_ALLOCATOR<SLOT>> slots;
};

// The slot, from where the hash places it on, for which same(slot) holds
// (same compares the hash too, where the slot keeps it), or the free slot
// where it would go; slots.size() (0) while there are none. Always inlined,
// so that same() is compared in place.
template <class SLOT, class SAME>
[[gnu::always_inline]] inline std::size_t probeIndex(const NAME_INDEX<SLOT>& index,
                                                     std::uint32_t hash, SAME same) {
    if (index.slots.empty()) return 0;
    const std::size_t mask = index.slots.size() - 1;
    for (std::size_t s = hash & mask;; s = (s + 1) & mask) {
        const SLOT& slot = index.slots[s];
        if (slot.free() || same(slot)) return s;
    }
}

// The slot where a probe for the hash starts, for a reader ahead of the
// lookups; the index must have slots.
template <class SLOT>
[[gnu::always_inline]] inline const SLOT& firstSlot(const NAME_INDEX<SLOT>& index,
                                                    std::uint32_t hash) {
    return index.slots[hash & (index.slots.size() - 1)];
}

// Starts fetching that slot from memory. Always inlined, as every prefetch
// here: g++ takes a function that only prefetches for one without effect
// and drops its calls.
template <class SLOT>
[[gnu::always_inline]] inline void prefetchSlot(const NAME_INDEX<SLOT>& index, std::uint32_t hash) {
    if (!index.slots.empty()) __builtin_prefetch(&firstSlot(index, hash));
}

// Empties slot s and moves back the entries after it that would no longer
// be found past the gap (deletion from linear probing); s below
// slots.size().
template <class SLOT>
void eraseIndexSlot(NAME_INDEX<SLOT>& index, std::size_t s) {
    const std::size_t mask = index.slots.size() - 1;
    index.slots[s] = SLOT{};
    for (std::size_t j = (s + 1) & mask; !index.slots[j].free(); j = (j + 1) & mask) {
        const std::size_t home = index.slots[j].home() & mask;
        // The entry stays when its home lies cyclically in (s, j].
        const bool stays = s <= j ? (s < home && home <= j) : (s < home || home <= j);
        if (stays) continue;
        index.slots[s] = index.slots[j];
        index.slots[j] = SLOT{};
        s = j;
    }
}

// size slots (a power of two, room for all the index holds) with the
// entries placed anew by their hashes.
template <class SLOT>
void regrowIndex(NAME_INDEX<SLOT>& index, std::size_t size) {
    decltype(index.slots) old(size);
    old.swap(index.slots);
    const std::size_t mask = size - 1;
    for (const SLOT& slot : old) {
        if (slot.free()) continue;
        std::size_t s = slot.home() & mask;
        while (!index.slots[s].free()) s = (s + 1) & mask;
        index.slots[s] = slot;
    }
}
