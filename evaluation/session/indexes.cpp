// The indexes of the maintained part's signatures (maintained.hpp).
#include <algorithm>

#include "evaluation/session/kept_part.hpp"

namespace vok::evaluation::engine {

const std::uint32_t* argsOf(const MAINTAINED& m, std::uint32_t literal) {
    return m.argValues.data() + m.literals[literal].args;
}

std::uint64_t keyOf(const std::uint32_t* values, std::uint32_t arity, std::uint32_t mask) {
    std::uint64_t h = 0x9E3779B97F4A7C15ull;
    for (std::uint32_t i = 0; i < arity; ++i)
        if (i < 32 && (mask >> i & 1u)) h = (h ^ (values[i] + 1ull)) * 0x100000001B3ull;
    return h;
}

namespace {

void addToIndex(MAINTAINED& m, KEPT_INDEX& index, std::uint32_t bit, std::uint32_t id,
                std::uint32_t arity) {
    KEPT_LITERAL& l = m.literals[id];
    if (l.indexed >> bit & 1u) return;
    l.indexed |= 1u << bit;
    index.buckets[keyOf(argsOf(m, id), arity, index.mask)].push_back(id);
    ++index.entries;
}

constexpr std::size_t MaxIndexes = 29;  // KEPT_LITERAL::indexed's bits

}  // namespace

// The index of the signature by the positions in mask, made when first
// asked for; nullptr when the signature has as many as a literal can note.
KEPT_INDEX* indexFor(SESSION& s, std::uint32_t sig, std::uint32_t mask) {
    MAINTAINED& m = *s.maintained;
    KEPT_SIGNATURE& ks = m.signatures[sig];
    for (KEPT_INDEX& i : ks.indexes)
        if (i.mask == mask) return &i;
    if (ks.indexes.size() >= MaxIndexes) return nullptr;
    // Joins read buckets while others are made: the indexes never move.
    ks.indexes.reserve(MaxIndexes);
    ks.indexes.emplace_back();
    KEPT_INDEX& index = ks.indexes.back();
    index.mask = mask;
    const auto bit = static_cast<std::uint32_t>(ks.indexes.size() - 1);
    for (std::uint32_t id : ks.literals) {
        const KEPT_LITERAL& l = m.literals[id];
        // A literal that a recursive component's fixpoint has just added
        // is not true yet, but dirty.
        if (l.truth || l.changed || l.dirty) addToIndex(m, index, bit, id, s.signatures[sig].arity);
    }
    return &index;
}

void indexTrue(SESSION& s, std::uint32_t id) {
    MAINTAINED& m = *s.maintained;
    const std::uint32_t sig = s.literals[id].signature;
    KEPT_SIGNATURE& ks = m.signatures[sig];
    for (std::size_t i = 0; i < ks.indexes.size(); ++i)
        addToIndex(m, ks.indexes[i], static_cast<std::uint32_t>(i), id, s.signatures[sig].arity);
}

// Drops the literals no longer true from an index that holds more of them
// than of true ones.
void pruneIndexes(SESSION& s, std::uint32_t sig) {
    MAINTAINED& m = *s.maintained;
    KEPT_SIGNATURE& ks = m.signatures[sig];
    for (std::size_t i = 0; i < ks.indexes.size(); ++i) {
        KEPT_INDEX& index = ks.indexes[i];
        if (index.dead * 2 <= index.entries + 64) continue;
        const std::uint32_t bit = 1u << i;
        for (auto at = index.buckets.begin(); at != index.buckets.end();) {
            std::vector<std::uint32_t>& ids = at->second;
            std::erase_if(ids, [&](std::uint32_t id) {
                if (m.literals[id].truth) return false;
                m.literals[id].indexed &= ~bit;
                return true;
            });
            at = ids.empty() ? index.buckets.erase(at) : std::next(at);
        }
        index.entries = 0;
        for (const auto& [key, ids] : index.buckets) index.entries += ids.size();
        index.dead = 0;
    }
}

}  // namespace vok::evaluation::engine
