#include "names.hpp"

#include <limits>

#include <stdexcept>
#include "common/chunks.hpp"

NAME_ENTRIES::~NAME_ENTRIES() {
    for (std::size_t b = 0; b < blocks_.size(); ++b)
        releaseChunk(blocks_[b], blockSize(b) * sizeof(ENTRY));
}

void NAME_ENTRIES::add(std::string_view text) {
    if (size_ == std::numeric_limits<unsigned>::max()) throw std::length_error("too many names");
    const auto [block, offset] = place(size_);
    if (block == blocks_.size()) {
        blocks_.reserve(block + 1);
        blocks_.push_back(static_cast<ENTRY*>(allocateChunk(blockSize(block) * sizeof(ENTRY))));
    }
    ENTRY entry{};
    if (text.size() <= Inline) {
        std::memcpy(entry.bytes, text.data(), text.size());
        entry.bytes[Inline] = static_cast<char>(Inline - text.size());
    } else {
        const char* p = long_.add(text);
        std::memcpy(entry.bytes, &p, sizeof p);
        entry.bytes[Inline] = static_cast<char>(OutOfLine);
    }
    blocks_[block][offset] = entry;
    ++size_;
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

void sortByName(TABLE_ARRAY<unsigned>& numbers, const NAME_ENTRIES& texts) {
    TABLE_ARRAY<SORT_KEY> keys;
    keys.reserve(numbers.size());
    for (unsigned n : numbers) {
        std::string_view t = texts.text(n);
        keys.push_back({bigEndian(t, 0), bigEndian(t, 8), n});
    }
    std::sort(keys.begin(), keys.end(), [&texts](const SORT_KEY& a, const SORT_KEY& b) {
        if (a.high != b.high) return a.high < b.high;
        if (a.low != b.low) return a.low < b.low;
        return texts.text(a.number) < texts.text(b.number);
    });
    for (std::size_t i = 0; i < keys.size(); ++i) numbers[i] = keys[i].number;
}
