// Name tables: every distinct text gets a dense number, in order of first
// insertion, and a table can be walked in byte-wise name order.
//
// A table keeps each text once, in storage that never moves, finds texts
// through a hash index and builds its name order only when a walk asks for
// it: most tables are only ever looked up, and the walks (the inertia and
// strong negation steps, the debug report) come after the tables have been
// filled.
#pragma once

#include <algorithm>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <functional>
#include <iterator>
#include <memory>
#include <set>
#include <stdexcept>
#include <string_view>
#include <utility>
#include <vector>

#include "common/chunks.hpp"
#include "common/name_index.hpp"

// The texts of a table by number, 16 bytes each, in blocks that never move
// (each as large as all before it). A text of up to 15 bytes is kept in its
// entry, so that reading it costs one access: the last byte holds 15 less
// its length, which is also the terminating NUL of a 15-byte text. A longer
// text goes to NAME_TEXTS and its entry points at it.
class NAME_ENTRIES {
public:
    NAME_ENTRIES() = default;
    NAME_ENTRIES(const NAME_ENTRIES&) = delete;
    NAME_ENTRIES& operator=(const NAME_ENTRIES&) = delete;
    NAME_ENTRIES(NAME_ENTRIES&& o) noexcept { swap(o); }
    NAME_ENTRIES& operator=(NAME_ENTRIES&& o) noexcept {
        NAME_ENTRIES gone(std::move(*this));
        swap(o);
        return *this;
    }
    ~NAME_ENTRIES();

    // Stores text as the entry numbered size().
    void add(std::string_view text);
    // Forgets the entries numbered n and above; their places are filled
    // again by the next texts added (a long text stays where it is stored).
    void truncate(unsigned n) {
        if (n < size_) size_ = n;
    }

    std::string_view text(unsigned n) const {
        const ENTRY& e = at(n);
        const auto tag = static_cast<unsigned char>(e.bytes[Inline]);
        if (tag <= Inline) return {e.bytes, Inline - tag};
        const char* p;
        std::memcpy(&p, e.bytes, sizeof p);
        return NAME_TEXTS::view(p);
    }
    // The same as a C string.
    const char* c_str(unsigned n) const { return text(n).data(); }
    // Starts fetching entry n (below size()) from memory, for a reader
    // that will want its text soon. Always inlined, as every prefetch
    // here: g++ takes a function that only prefetches for one without
    // effect and drops its calls.
    [[gnu::always_inline]] void prefetch(unsigned n) const { __builtin_prefetch(&at(n)); }

    unsigned size() const { return size_; }

private:
    static constexpr unsigned Inline = 15;       // the longest text kept in its entry
    static constexpr unsigned OutOfLine = 0xFF;  // the last byte of an entry that points
    static constexpr unsigned FirstBits = 8;     // the first two blocks hold 2^8 entries each
    struct ENTRY {
        char bytes[Inline + 1];
    };

    std::vector<ENTRY*> blocks_;
    unsigned size_ = 0;
    NAME_TEXTS long_;

    static std::size_t blockSize(std::size_t block) {
        return std::size_t(1) << (block == 0 ? FirstBits : FirstBits + block - 1);
    }
    // The block and the place in it of entry n.
    static std::pair<std::size_t, std::size_t> place(unsigned n) {
        if (n < (1u << FirstBits)) return {0, n};
        const unsigned high = static_cast<unsigned>(std::bit_width(n)) - 1;  // 2^high <= n
        return {high - FirstBits + 1, n - (1u << high)};
    }
    const ENTRY& at(unsigned n) const {
        const auto [block, offset] = place(n);
        return blocks_[block][offset];
    }
    void swap(NAME_ENTRIES& o) noexcept {
        std::swap(blocks_, o.blocks_);
        std::swap(size_, o.size_);
        std::swap(long_, o.long_);
    }
};

// The arrays of the tables, which grow with the input.
template <class T>
using TABLE_ARRAY = std::vector<T, CHUNK_ALLOCATOR<T>>;

// Sorts entry numbers by their texts (byte-wise, as strcmp).
void sortByName(TABLE_ARRAY<unsigned>& numbers, const NAME_ENTRIES& texts);

// One entry as a walk in name order meets it: its text, which the table
// owns, and its number.
struct NAMES_ITEM {
    std::string_view name;
    unsigned number = 0;

    const char* c_str() const { return name.data(); }  // the stored text ends in a NUL
};

// Gives each distinct text a number, densely from 0 in order of first
// insertion; walks in name order.
template <class ITEM>
struct NAMESTABLE {
    unsigned count = 0;  // the number the next new text receives

    NAMESTABLE() = default;
    NAMESTABLE(const NAMESTABLE&) = delete;
    NAMESTABLE& operator=(const NAMESTABLE&) = delete;
    NAMESTABLE(NAMESTABLE&&) = default;
    NAMESTABLE& operator=(NAMESTABLE&&) = default;

    // (number, inserted)
    std::pair<unsigned, bool> insert(std::string_view text) { return insert(text, hash(text)); }
    std::pair<unsigned, bool> insert(std::string_view text, std::uint32_t h) {
        const MARKED found = insertMarked(text, h);
        return {found.number, found.fresh};
    }

    // What insertMarked found. A short name (see SLOT) has a mark: 4 bytes
    // of its index slot, 0 until the owner writes them, where the owner
    // keeps what it would otherwise read from an array by the name's
    // number, one more access far from the caches in a large table. mark
    // points into the index and is good until the next insert.
    struct MARKED {
        unsigned number;
        bool fresh;
        std::uint32_t* mark;  // null for a name without one
    };
    MARKED insertMarked(std::string_view text, std::uint32_t h) {
        std::size_t s = probe(text, h);
        if (s < index_.slots.size() && !index_.slots[s].free()) return marked(s, false);
        if (count + 1 >= SLOT::InHead) throw std::length_error("too many names");
        entries_.add(text);
        if (4 * std::size_t(entries_.size()) > 3 * index_.slots.size()) {
            regrowIndex(index_, index_.slots.empty() ? 16 : 2 * index_.slots.size());
            s = probe(text, h);
        }
        index_.slots[s] = SLOT::of(count++, h, text);
        return marked(s, true);
    }

    // (number, found); (0, false) when the text is absent
    std::pair<unsigned, bool> find(std::string_view text) const { return find(text, hash(text)); }
    std::pair<unsigned, bool> find(std::string_view text, std::uint32_t h) const {
        std::size_t s = probe(text, h);
        if (s < index_.slots.size() && !index_.slots[s].free())
            return {index_.slots[s].number(), true};
        return {0, false};
    }

    bool contains(std::string_view text) const { return find(text).second; }
    bool contains(std::string_view text, std::uint32_t h) const { return find(text, h).second; }

    // Forgets the names numbered n and above (the last ones inserted), as if
    // they had never been inserted: a session drops the names of a block it
    // refuses. Each name leaves the index with the entries that probed past
    // it moved back into place; the name order is built again on the next
    // walk.
    void truncate(unsigned n) {
        for (; count > n; --count) {
            const std::string_view text = this->text(count - 1);
            eraseIndexSlot(index_, probe(text, hash(text)));
        }
        entries_.truncate(n);
        if (indexed_ > n || !late_.empty()) {
            sorted_.clear();
            late_.clear();
            indexed_ = 0;
            ++generation_;
        }
    }

    // Lookups in two steps, so that the slots of several names, in several
    // tables, are fetched from memory at the same time: the hash of a text,
    // which the lookups above also take, and the start of fetching its slot.
    //
    // A name and its complement (the same with a leading '-') differ only
    // in the lowest bit of their hashes, so that their slots are neighbours
    // and a lookup of both fetches one place of the index.
    static std::uint32_t hash(std::string_view text) {
        const bool negative = !text.empty() && text.front() == '-';
        if (negative) text.remove_prefix(1);
        return nameHash(text) ^ negative;
    }
    static std::uint32_t complementHash(std::uint32_t h) { return h ^ 1u; }
    [[gnu::always_inline]] void prefetch(std::uint32_t h) const { prefetchSlot(index_, h); }

    // The text of number n, as a C string or a view; n must be below count.
    const char* name(unsigned n) const { return entries_.c_str(n); }
    std::string_view text(unsigned n) const { return entries_.text(n); }
    // Starts fetching the text of number n, when below count.
    [[gnu::always_inline]] void prefetchText(unsigned n) const {
        if (n < count) entries_.prefetch(n);
    }

    unsigned size() const { return entries_.size(); }

    // Room in the index for names texts in all, for a caller that knows how
    // many it is about to add: the index does not regrow while they come.
    void reserve(std::size_t names) {
        std::size_t want = index_.slots.empty() ? 16 : index_.slots.size();
        while (4 * names > 3 * want) want *= 2;
        if (want > index_.slots.size()) regrowIndex(index_, want);
    }

private:
    // A name inserted after the name order was last built.
    struct LATE {
        std::string_view text;
        unsigned number;
    };
    struct LATE_ORDER {
        using is_transparent = void;
        static std::string_view view(const LATE& l) { return l.text; }
        static std::string_view view(std::string_view s) { return s; }
        template <class A, class B>
        bool operator()(const A& a, const B& b) const {
            // string_view compares as unsigned bytes, like memcmp.
            return view(a) < view(b);
        }
    };

public:
    // A walk in name order over the live table: a name inserted during the
    // walk is met when it sorts after the current one, as with an ordered
    // map, so that a walk may add names that it must visit itself.
    class const_iterator {
    public:
        using iterator_category = std::forward_iterator_tag;
        using value_type = ITEM;
        using difference_type = std::ptrdiff_t;
        using pointer = const ITEM*;
        using reference = const ITEM&;

        const_iterator() = default;

        const ITEM& operator*() const { return item_; }
        const ITEM* operator->() const { return &item_; }
        const_iterator& operator++() {
            table_->advance(*this);
            return *this;
        }
        const_iterator operator++(int) {
            const_iterator before = *this;
            ++*this;
            return before;
        }
        bool operator==(const const_iterator& o) const { return item_.number == o.item_.number; }

        // The number of the name d steps after this one in the name order
        // as it stood when the walk last looked (names inserted since are
        // not counted), or End: for a walk that fetches ahead what it will
        // read. Only a guess, never wrong for the walk itself.
        static constexpr unsigned End = ~0u;
        unsigned ahead(std::size_t d) const {
            if (!table_ || generation_ != table_->generation_ || next_ == 0) return End;
            const std::size_t at = next_ - 1 + d;
            return at < table_->sorted_.size() ? table_->sorted_[at] : End;
        }

    private:
        friend struct NAMESTABLE;

        const NAMESTABLE* table_ = nullptr;
        ITEM item_{{}, End};
        std::size_t next_ = 0;     // position in sorted_ of the first name after this one
        unsigned generation_ = 0;  // of sorted_ when next_ was found
        // The first late name after this one, while late_ holds lateSize_
        // names of the same generation: a step then goes on from there
        // instead of searching late_ again.
        typename std::set<LATE, LATE_ORDER>::const_iterator late_{};
        std::size_t lateSize_ = ~std::size_t(0);
    };

    const_iterator begin() const {
        order();
        const_iterator it;
        it.table_ = this;
        it.generation_ = generation_;
        if (!sorted_.empty()) at(it, sorted_[0], 1);
        return it;
    }
    const_iterator end() const { return const_iterator(); }
    // A walk that stands at text, which need not be a name of the table and
    // must outlive the iterator: ++ moves to the first name after it, the
    // names inserted meanwhile included.
    const_iterator at(std::string_view text) const {
        order();
        const_iterator it;
        it.table_ = this;
        it.generation_ = generation_ + 1;  // stale: the next step looks text up
        it.item_ = ITEM{text, const_iterator::End - 1};
        return it;
    }

private:
    // entry is 1 + the number of a name, or 0 for a free slot. A name of up
    // to 8 bytes without a NUL is kept whole in head (zeros after it),
    // marked by entry's top bit: a lookup of such a name compares it there,
    // without reading the name's entry, which in a large table is one more
    // access far from the caches; its hash is computed again from head when
    // the index regrows, and word holds the owner's mark instead. A longer
    // name keeps its hash in word, so that most mismatches and every
    // regrowth need no text.
    struct SLOT {
        unsigned entry = 0;
        std::uint32_t word = 0;
        std::uint64_t head = 0;

        static constexpr unsigned InHead = 1u << 31;
        bool free() const { return entry == 0; }
        bool inHead() const { return entry & InHead; }
        unsigned number() const { return (entry & ~InHead) - 1; }
        std::uint32_t home() const {
            if (!inHead()) return word;
            char bytes[sizeof head];
            std::memcpy(bytes, &head, sizeof head);
            std::size_t size = 0;
            while (size < sizeof head && bytes[size] != '\0') ++size;
            return NAMESTABLE::hash({bytes, size});
        }
        // (in head, head): how text would be kept.
        static std::pair<bool, std::uint64_t> headOf(std::string_view text) {
            std::uint64_t head = 0;
            if (text.size() > sizeof head || text.find('\0') != std::string_view::npos)
                return {false, 0};
            std::memcpy(&head, text.data(), text.size());
            return {true, head};
        }
        static SLOT of(unsigned number, std::uint32_t h, std::string_view text) {
            const auto [inHead, head] = headOf(text);
            if (inHead) return {(number + 1) | InHead, 0, head};
            return {number + 1, h, head};
        }
    };

    static constexpr std::size_t WalkAhead = 8;
    NAME_ENTRIES entries_;
    NAME_INDEX<SLOT> index_;

    // The name order: sorted_ holds the numbers below indexed_ that were
    // there when it was built, late_ those that came during walks since.
    mutable TABLE_ARRAY<unsigned> sorted_;
    mutable std::set<LATE, LATE_ORDER> late_;
    mutable unsigned indexed_ = 0;
    mutable unsigned generation_ = 0;

    // The slot that holds text, or the free slot where it would go;
    // index_.slots.size() while the index is empty.
    std::size_t probe(std::string_view text, std::uint32_t h) const {
        const std::pair<bool, std::uint64_t> kept = SLOT::headOf(text);
        const std::uint64_t head = kept.second;
        if (kept.first)
            return probeIndex(index_, h,
                              [&](const SLOT& slot) { return slot.inHead() && slot.head == head; });
        return probeIndex(index_, h, [&](const SLOT& slot) {
            return !slot.inHead() && slot.word == h && this->text(slot.number()) == text;
        });
    }

    MARKED marked(std::size_t s, bool fresh) {
        SLOT& slot = index_.slots[s];
        return {slot.number(), fresh, slot.inHead() ? &slot.word : nullptr};
    }

    // Brings every name into sorted_, for a walk that starts.
    void order() const {
        if (indexed_ == count && late_.empty()) return;
        TABLE_ARRAY<unsigned> fresh;
        fresh.reserve(count - indexed_ + late_.size());
        for (const LATE& l : late_) fresh.push_back(l.number);
        for (unsigned n = indexed_; n < count; ++n) fresh.push_back(n);
        sortByName(fresh, entries_);
        if (sorted_.empty()) {
            sorted_ = std::move(fresh);
        } else {
            TABLE_ARRAY<unsigned> merged;
            merged.reserve(sorted_.size() + fresh.size());
            std::merge(sorted_.begin(), sorted_.end(), fresh.begin(), fresh.end(),
                       std::back_inserter(merged),
                       [this](unsigned a, unsigned b) { return text(a) < text(b); });
            sorted_ = std::move(merged);
        }
        late_.clear();
        indexed_ = count;
        ++generation_;
    }

    void at(const_iterator& it, unsigned number, std::size_t next) const {
        it.item_ = ITEM{text(number), number};
        it.next_ = next;
    }

    // Moves it to the next name: the first of sorted_ after it or the first
    // late name after it, whichever sorts first.
    void advance(const_iterator& it) const {
        for (; indexed_ < count; ++indexed_) late_.insert(LATE{text(indexed_), indexed_});
        const std::string_view current = it.item_.name;
        const bool sameLate = it.generation_ == generation_ && it.lateSize_ == late_.size();
        if (it.generation_ != generation_) {
            auto after =
                std::upper_bound(sorted_.begin(), sorted_.end(), current,
                                 [this](std::string_view t, unsigned n) { return t < text(n); });
            it.next_ = static_cast<std::size_t>(after - sorted_.begin());
            it.generation_ = generation_;
        }
        auto late = sameLate ? it.late_ : late_.upper_bound(current);
        while (late != late_.end() && !(current < LATE_ORDER::view(*late))) ++late;
        it.late_ = late;
        it.lateSize_ = late_.size();
        const bool sortedLeft = it.next_ < sorted_.size();
        const bool lateFirst = late != late_.end() &&
                               (!sortedLeft || LATE_ORDER::view(*late) < text(sorted_[it.next_]));
        if (lateFirst) {
            at(it, late->number, it.next_);
        } else if (sortedLeft) {
            // A large table's names in name order lie anywhere in memory:
            // the walk fetches the texts of those a few steps ahead.
            if (it.next_ + WalkAhead < sorted_.size())
                entries_.prefetch(sorted_[it.next_ + WalkAhead]);
            at(it, sorted_[it.next_], it.next_ + 1);
        } else {
            it.item_ = ITEM{{}, const_iterator::End};
        }
    }
};

using NAMES = NAMESTABLE<NAMES_ITEM>;
