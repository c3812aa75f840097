#include "pool.hpp"

#include <algorithm>
#include <new>

#include "common/chunks.hpp"

#if defined(__SANITIZE_ADDRESS__)
#define VOK_CHECKED_BLOCKS 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define VOK_CHECKED_BLOCKS 1
#endif
#endif

namespace {

#ifndef VOK_CHECKED_BLOCKS

constexpr std::size_t roundUp(std::size_t n, std::size_t to) { return (n + to - 1) / to * to; }

constexpr std::size_t Grain = 8;         // block sizes are multiples of this
constexpr std::size_t MaxPooled = 2048;  // larger blocks come from operator new
constexpr std::size_t FirstChunk = std::size_t(64) << 10;
constexpr std::size_t LastChunk = std::size_t(32) << 20;

// The free lists by size, linked through the first word of each free
// block, and the rest of the chunk being carved.
struct POOL {
    void* freeList[MaxPooled / Grain + 1] = {};
    char* next = nullptr;
    std::size_t room = 0;
    std::size_t chunk = FirstChunk;  // the size of the next chunk
};

// Never destroyed: rules in the global lists, which are never destroyed
// either, live in its chunks.
POOL& pool() {
    static POOL& p = *new POOL;
    return p;
}

void push(POOL& p, void* block, std::size_t size) {
    void*& head = p.freeList[size / Grain];
    *static_cast<void**>(block) = head;
    head = block;
}

// A new chunk to carve; what is left of the old one becomes a free block.
void refill(POOL& p) {
    if (p.room >= Grain) push(p, p.next, p.room);
    p.next = static_cast<char*>(allocateChunk(p.chunk));
    p.room = p.chunk;
    p.chunk = std::min(2 * p.chunk, LastChunk);
}

#endif

}  // namespace

void* allocateBlock(std::size_t bytes) {
#ifdef VOK_CHECKED_BLOCKS
    return ::operator new(bytes);
#else
    const std::size_t size = roundUp(std::max(bytes, Grain), Grain);
    if (size > MaxPooled) return ::operator new(size);
    POOL& p = pool();
    if (void*& head = p.freeList[size / Grain]) {
        void* block = head;
        head = *static_cast<void**>(block);
        return block;
    }
    if (size > p.room) refill(p);
    void* block = p.next;
    p.next += size;
    p.room -= size;
    return block;
#endif
}

void releaseBlock(void* block, std::size_t bytes) noexcept {
#ifdef VOK_CHECKED_BLOCKS
    (void)bytes;
    ::operator delete(block);
#else
    const std::size_t size = roundUp(std::max(bytes, Grain), Grain);
    if (size > MaxPooled) return ::operator delete(block);
    push(pool(), block, size);
#endif
}
