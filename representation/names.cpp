#include "names.hpp"

#include <limits>

#include "representation/pool.hpp"
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

namespace {

// The first 16 bytes of a text as two big-endian numbers (zeros past its
// end): comparing them compares the texts' beginnings byte-wise, so that
// most comparisons of a sort need no access to the texts themselves.
struct SORT_KEY {
    std::uint64_t high, low;
    unsigned number;
};

std::uint64_t bigEndian(std::string_view text, std::size_t from) {
    std::uint64_t v = 0;
    for (std::size_t i = from; i < from + 8; ++i)
        v = (v << 8) | (i < text.size() ? static_cast<unsigned char>(text[i]) : 0u);
    return v;
}

}  // namespace

void sortByName(std::vector<unsigned>& numbers, const std::vector<const char*>& texts) {
    std::vector<SORT_KEY> keys;
    keys.reserve(numbers.size());
    for (unsigned n : numbers) {
        std::string_view t = NAME_TEXTS::view(texts[n]);
        keys.push_back({bigEndian(t, 0), bigEndian(t, 8), n});
    }
    std::sort(keys.begin(), keys.end(), [&texts](const SORT_KEY& a, const SORT_KEY& b) {
        if (a.high != b.high) return a.high < b.high;
        if (a.low != b.low) return a.low < b.low;
        return NAME_TEXTS::view(texts[a.number]) < NAME_TEXTS::view(texts[b.number]);
    });
    for (std::size_t i = 0; i < keys.size(); ++i) numbers[i] = keys[i].number;
}
