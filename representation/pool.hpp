// Memory for what a large run makes by the million and keeps to its end:
// the blocks of rules and the texts of the name tables.
//
// Blocks of one size are carved from large chunks, without a header of
// their own, and a released block waits on the free list of its size for
// the next block of that size. Chunks come from the system in growing
// sizes (common/chunks.hpp); the large ones are offered huge pages, which
// spares the system most of its page faults while a big program is built.
//
// Builds with AddressSanitizer take every block from operator new, so
// that each stays checked on its own.
#pragma once

#include <cstddef>

// A block of bytes, aligned for 8-byte fields.
void* allocateBlock(std::size_t bytes);
// Gives back a block that allocateBlock returned for the same size.
void releaseBlock(void* block, std::size_t bytes) noexcept;
