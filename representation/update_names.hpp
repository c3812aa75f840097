// The update family's names, kept as numbers instead of texts.
//
// The rewriting makes several names per input rule: p_P<i>, "p holds at
// program i", for a predicate p (the base) and a program i, and
// rej_P<i>_R<j>, "rule j of program i is rejected". Each is a number above
// the predicate table's numbers: an update name is place i of its base's
// block of span() places, a rejection name place j of its program's range.
// The text is written when the name is printed and read back when a
// solver's answer names it, so that a name costs a bit and no probe of a
// hash index. A name whose plain text another predicate has taken carries a
// clash suffix _<c>; the few such names keep theirs aside.
//
// This table only stores: which suffix a new name needs is the rewriting's
// choice (see rewriting/auxiliary.hpp).
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

#include "common/contract.hpp"
#include "representation/names.hpp"
#include "representation/notation.hpp"

// Predicate numbers from UpdateNumbers on are update names, from
// RejectionNumbers on rejection names; the predicate table's numbers stay
// below both. The update name of base b at program i is UpdateNumbers +
// b * span + i, so that its base is read off its number.
inline constexpr unsigned UpdateNumbers = 1u << 31;
inline constexpr unsigned RejectionNumbers = UpdateNumbers | (1u << 30);
inline bool isUpdateNumber(unsigned n) { return n >= UpdateNumbers; }
inline bool isRejectionNumber(unsigned n) { return n >= RejectionNumbers; }

class UPDATE_NAMES {
public:
    static constexpr unsigned NoSuffix = NoClashSuffix;  // suffix c is kept as c + 1

    // The places of a base's block: one per program of the run, rounded up
    // to a power of two. Set before the first update name is made; a run
    // with more programs than the span cannot name them (ends through
    // InternalError).
    void setSpan(unsigned programs);
    unsigned span() const { return 1u << shift_; }

    // The number of a base, entered when new.
    unsigned base(std::string_view text);
    // a and b are bases of complementary texts (p and -p).
    void pairBases(unsigned a, unsigned b);
    // The update name of the complement of update name n's base at the
    // next program (for p_Pi: -p_P(i+1)), which must be made.
    unsigned complementAfter(unsigned n) const;
    // The bases that names were made from, "rej" for the rejection names:
    // a walk in name order meets bases entered while it goes on.
    const NAMES& bases() const { return bases_; }
    void reserveBases(std::size_t count) { bases_.reserve(count); }

    // The number of the update name of base b at program i, and of the
    // rejection name of rule j of program i; the name need not be made.
    unsigned update(unsigned b, unsigned i) const;
    unsigned rejection(unsigned i, unsigned j);
    // Room for the rejection names of rules 0 to rules - 1 of program i.
    void reserveRejections(unsigned i, unsigned rules);

    bool made(unsigned n) const;
    // Records that name n exists, with its suffix and arity.
    void make(unsigned n, unsigned suffix, unsigned arity);

    unsigned arity(unsigned n) const;
    // The text of n without its suffix, and with it.
    std::string plainText(unsigned n) const;
    std::string text(unsigned n) const;
    // Appends the text of n as AppendName writes a predicate name.
    void appendText(std::string& out, unsigned n, NOTATION notation) const;
    // Starts fetching what making update name n reads and writes.
    [[gnu::always_inline]] void prefetchMade(unsigned n) const {
        const unsigned place = n - UpdateNumbers;
        if (place / 64 < madeUpdates_.size()) __builtin_prefetch(&madeUpdates_[place / 64]);
        if ((place >> shift_) < baseArity_.size()) __builtin_prefetch(&baseArity_[place >> shift_]);
    }
    // Starts fetching what writing update name n reads, for a writer that
    // will write it soon.
    [[gnu::always_inline]] void prefetch(unsigned n) const {
        if (isUpdateNumber(n) && !isRejectionNumber(n)) {
            const unsigned b = (n - UpdateNumbers) >> shift_;
            bases_.prefetchText(b);
            __builtin_prefetch(&baseArity_[b]);
            __builtin_prefetch(&complements_[b]);
        }
    }

    // (number, found): the made name whose text is text.
    std::pair<unsigned, bool> find(std::string_view text) const;
    bool contains(std::string_view text) const { return !empty() && find(text).second; }
    // (number, made): the rejection name with these numbers (see
    // ReadRejectionName), for a caller that has read them already.
    std::pair<unsigned, bool> findRejection(const REJECTION_NUMBERS& numbers) const;

    // The names made.
    unsigned size() const { return count_; }
    bool empty() const { return count_ == 0; }
    // The made rejection names in the order they were made (program by
    // program, rule by rule).
    template <class VISIT>
    void forEachRejection(VISIT&& visit) const {
        for (const RANGE& r : ranges_)
            for (unsigned k = 0; k < r.count; ++k)
                if (bit(madeRejections_, r.start + k)) visit(RejectionNumbers + r.start + k);
    }
    // Every made name with its text, in name order.
    std::vector<std::pair<std::string, unsigned>> inNameOrder() const;

    // Forgets every name and base; for a run that starts afresh.
    void clear() { *this = UPDATE_NAMES(); }

private:
    // Rules first .. first + count - 1 of a program, at places start on.
    struct RANGE {
        unsigned program, first, start, count;
    };

    NAMES bases_;
    std::vector<unsigned> baseArity_;    // by base: the arity of its first name
    std::vector<unsigned> complements_;  // by base: the base of its complement, or NoBase
    unsigned shift_ = 0;                 // span = 2^shift_
    std::vector<std::uint64_t> madeUpdates_, madeRejections_;
    std::vector<RANGE> ranges_;                         // in the order of start
    std::vector<std::vector<unsigned>> programRanges_;  // by program: indices into ranges_
    unsigned rejectionPlaces_ = 0;
    std::vector<unsigned> rejectionArity_;             // by place
    std::unordered_map<unsigned, unsigned> suffixes_;  // name -> suffix, when it has one
    std::unordered_map<unsigned, unsigned> arities_;   // update name -> arity, when not its base's
    unsigned count_ = 0;
    bool rejectionBase_ = false;  // "rej" is among the bases

    static constexpr unsigned NoArity = ~0u;
    static constexpr unsigned NoBase = ~0u;
    static bool bit(const std::vector<std::uint64_t>& bits, unsigned k) {
        return k / 64 < bits.size() && (bits[k / 64] >> (k % 64) & 1);
    }
    static void set(std::vector<std::uint64_t>& bits, unsigned k) {
        if (k / 64 >= bits.size()) bits.resize(k / 64 + 1);
        bits[k / 64] |= std::uint64_t(1) << (k % 64);
    }
    unsigned suffix(unsigned n) const {
        if (suffixes_.empty()) return NoSuffix;
        const auto it = suffixes_.find(n);
        return it == suffixes_.end() ? NoSuffix : it->second;
    }
    // The base and program of update name n; the range of rejection name n.
    std::pair<unsigned, unsigned> updatePlace(unsigned n) const;
    const RANGE& rangeOf(unsigned n) const;
    void appendPlain(std::string& out, unsigned n, NOTATION notation) const;
    void appendSuffix(std::string& out, unsigned n) const;
    std::pair<unsigned, bool> findUpdate(std::string_view text) const;
};

extern UPDATE_NAMES& updatePredicates;
