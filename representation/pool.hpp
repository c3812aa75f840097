// Memory for what a large run makes by the million and keeps to its end:
// the blocks of rules and the texts of the name tables.
//
// Blocks of one size are carved from large chunks, without a header of
// their own, and a released block waits on the free list of its size for
// the next block of that size. Chunks come from the system in growing
// sizes; the large ones are offered huge pages, which spares the system
// most of its page faults while a big program is built.
//
// Builds with AddressSanitizer take every block from operator new, so
// that each stays checked on its own.
#pragma once

#include <cstddef>

// A block of bytes, aligned for 8-byte fields.
void* allocateBlock(std::size_t bytes);
// Gives back a block that allocateBlock returned for the same size.
void releaseBlock(void* block, std::size_t bytes) noexcept;

// A chunk of bytes for a table's own storage; large chunks are offered
// huge pages.
void* allocateChunk(std::size_t bytes);
// Gives back a chunk that allocateChunk returned for the same size.
void releaseChunk(void* chunk, std::size_t bytes) noexcept;

// An allocator over chunks for the large arrays of the tables, so that
// their random accesses (hash lookups, names by number) find huge pages.
template <class T>
struct CHUNK_ALLOCATOR {
    using value_type = T;

    CHUNK_ALLOCATOR() = default;
    template <class U>
    CHUNK_ALLOCATOR(const CHUNK_ALLOCATOR<U>&) {}

    T* allocate(std::size_t n) { return static_cast<T*>(allocateChunk(n * sizeof(T))); }
    void deallocate(T* p, std::size_t n) noexcept { releaseChunk(p, n * sizeof(T)); }

    template <class U>
    bool operator==(const CHUNK_ALLOCATOR<U>&) const {
        return true;
    }
};
