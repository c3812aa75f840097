// Large chunks of memory for the arrays and blocks that grow with the input
// in vok and in its evaluation programs. A chunk of a huge page or more is
// aligned to one and offered huge pages: a large table or program then
// costs a page fault per 2 MiB, not per 4 KiB, and its random accesses
// (hash lookups, names by number) miss the address cache far less often.
#pragma once

#include <cstddef>

inline constexpr std::size_t HugePage = std::size_t(2) << 20;

// What a memory request that cannot be met does, for the requests that do
// not go through operator new (chunks, and the C library's own requests,
// which report ENOMEM): as operator new, it runs the new handler, which in
// vok and its evaluation programs ends the run; without one it throws
// std::bad_alloc.
[[noreturn]] void MemoryRanOut();

// A chunk of bytes; a request that cannot be met is handled as operator new
// handles one (MemoryRanOut).
void* allocateChunk(std::size_t bytes);
// Gives back a chunk that allocateChunk returned for the same size.
void releaseChunk(void* chunk, std::size_t bytes) noexcept;

// An allocator over chunks, for the standard containers.
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
