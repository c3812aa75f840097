#include "common/chunks.hpp"

#include <sys/mman.h>

#include <cstdlib>
#include <new>

namespace {

constexpr std::size_t roundUp(std::size_t n, std::size_t to) { return (n + to - 1) / to * to; }

}  // namespace

void MemoryRanOut() {
    if (std::new_handler handler = std::get_new_handler()) handler();
    throw std::bad_alloc();
}

void* allocateChunk(std::size_t bytes) {
    if (bytes < HugePage) return ::operator new(bytes);
    void* chunk;
    // Tried again after the handler, which may have given memory back.
    while (!(chunk = std::aligned_alloc(HugePage, roundUp(bytes, HugePage)))) {
        std::new_handler handler = std::get_new_handler();
        if (!handler) throw std::bad_alloc();
        handler();
    }
#ifdef MADV_HUGEPAGE
    // Only advice: without huge pages the chunk works all the same.
    ::madvise(chunk, roundUp(bytes, HugePage), MADV_HUGEPAGE);
#endif
    return chunk;
}

void releaseChunk(void* chunk, std::size_t bytes) noexcept {
    if (bytes < HugePage) return ::operator delete(chunk);
    std::free(chunk);
}
