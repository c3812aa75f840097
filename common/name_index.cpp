#include "common/name_index.hpp"

#include <algorithm>
#include <limits>
#include <stdexcept>

NAME_TEXTS::~NAME_TEXTS() {
    for (const BLOCK& b : blocks_) releaseChunk(b.bytes, b.size);
}

const char* NAME_TEXTS::add(std::string_view text) {
    constexpr std::size_t LargestBlock = std::size_t(4) << 20;
    if (text.size() > std::numeric_limits<std::uint32_t>::max())
        throw std::length_error("name longer than 4 GiB");
    const auto length = static_cast<std::uint32_t>(text.size());
    const std::size_t need = sizeof length + text.size() + 1;
    blocks_.reserve(blocks_.size() + 1);  // so that no block is lost if this fails
    char* p;
    if (need > next_) {
        // A text too long for a block gets one of its own; the block being
        // filled stays in use for the texts that follow.
        p = static_cast<char*>(allocateChunk(need));
        blocks_.push_back({p, need});
    } else {
        if (need > room_) {
            free_ = static_cast<char*>(allocateChunk(next_));
            blocks_.push_back({free_, next_});
            room_ = next_;
            next_ = std::min(2 * next_, LargestBlock);
        }
        p = free_;
        free_ += need;
        room_ -= need;
    }
    std::memcpy(p, &length, sizeof length);
    std::memcpy(p + sizeof length, text.data(), text.size());
    p[need - 1] = '\0';
    return p + sizeof length;
}
