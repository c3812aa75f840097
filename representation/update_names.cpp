#include "representation/update_names.hpp"

#include <algorithm>

#include "base/exits.hpp"
#include "common/never_destroyed.hpp"
#include "representation/atom.hpp"
#include "representation/ident.hpp"

// Never destroyed, like the predicate table (see atom.cpp).
namespace {
NEVER_DESTROYED<UPDATE_NAMES> UpdateNames;
}  // namespace
UPDATE_NAMES& updatePredicates = UpdateNames.get();

namespace {

const char* const TooMany = "Error storing update predicate.";

}  // namespace

void UPDATE_NAMES::setSpan(unsigned programs) {
    unsigned shift = 0;
    while ((1u << shift) < programs) ++shift;
    // Once a base has a block, the blocks stay as they are.
    if (bases_.size() == 0) shift_ = shift;
    else if (shift > shift_) throw INTERNAL_ERROR{TooMany};
}

unsigned UPDATE_NAMES::base(std::string_view text) {
    const auto [b, fresh] = bases_.insert(text);
    if (fresh) {
        if (std::uint64_t(b + 1) << shift_ > RejectionNumbers - UpdateNumbers)
            throw INTERNAL_ERROR{TooMany};
        baseArity_.push_back(NoArity);
        complements_.push_back(NoBase);
    }
    return b;
}

void UPDATE_NAMES::pairBases(unsigned a, unsigned b) {
    complements_[a] = b;
    complements_[b] = a;
}

unsigned UPDATE_NAMES::complementAfter(unsigned n) const {
    const auto [b, i] = updatePlace(n);
    unsigned c = complements_[b];
    if (c == NoBase) {
        const auto [found, known] = bases_.find(complementName(bases_.text(b)));
        if (!known) throw INTERNAL_ERROR{TooMany};
        c = found;
    }
    return update(c, i + 1);
}

unsigned UPDATE_NAMES::update(unsigned b, unsigned i) const {
    if (i >> shift_) throw INTERNAL_ERROR{TooMany};
    return UpdateNumbers + (b << shift_) + i;
}

void UPDATE_NAMES::reserveRejections(unsigned i, unsigned rules) {
    if (rules == 0) return;
    if (rejectionPlaces_ > (~0u - RejectionNumbers) - rules) throw INTERNAL_ERROR{TooMany};
    if (programRanges_.size() <= i) programRanges_.resize(i + 1);
    programRanges_[i].push_back(static_cast<unsigned>(ranges_.size()));
    ranges_.push_back({i, 0, rejectionPlaces_, rules});
    rejectionPlaces_ += rules;
    rejectionArity_.resize(rejectionPlaces_);
}

unsigned UPDATE_NAMES::rejection(unsigned i, unsigned j) {
    if (i < programRanges_.size())
        for (unsigned r : programRanges_[i]) {
            const RANGE& range = ranges_[r];
            if (j >= range.first && j - range.first < range.count)
                return RejectionNumbers + range.start + (j - range.first);
        }
    // A rule outside the ranges reserved: its own range, or the last one
    // grown when it is this program's and ends just before j.
    if (rejectionPlaces_ == ~0u - RejectionNumbers) throw INTERNAL_ERROR{TooMany};
    if (!ranges_.empty()) {
        RANGE& last = ranges_.back();
        if (last.program == i && last.first + last.count == j) {
            ++last.count;
            rejectionArity_.push_back(0);
            return RejectionNumbers + rejectionPlaces_++;
        }
    }
    if (programRanges_.size() <= i) programRanges_.resize(i + 1);
    programRanges_[i].push_back(static_cast<unsigned>(ranges_.size()));
    ranges_.push_back({i, j, rejectionPlaces_, 1});
    rejectionArity_.push_back(0);
    return RejectionNumbers + rejectionPlaces_++;
}

bool UPDATE_NAMES::made(unsigned n) const {
    if (isRejectionNumber(n)) return bit(madeRejections_, n - RejectionNumbers);
    return isUpdateNumber(n) && bit(madeUpdates_, n - UpdateNumbers);
}

void UPDATE_NAMES::make(unsigned n, unsigned suffix, unsigned arity) {
    if (suffix != NoSuffix) suffixes_[n] = suffix;
    ++count_;
    if (isRejectionNumber(n)) {
        set(madeRejections_, n - RejectionNumbers);
        rejectionArity_[n - RejectionNumbers] = arity;
        if (!rejectionBase_) {
            base(RejectionStem);
            rejectionBase_ = true;
        }
        return;
    }
    set(madeUpdates_, n - UpdateNumbers);
    // A base's names share the arity of its first, but for the rare -p of
    // another arity than p's, whose names keep theirs aside.
    unsigned& shared = baseArity_[updatePlace(n).first];
    if (shared == NoArity) shared = arity;
    if (arity != shared) arities_[n] = arity;
}

unsigned UPDATE_NAMES::arity(unsigned n) const {
    if (isRejectionNumber(n)) return rejectionArity_[n - RejectionNumbers];
    if (!arities_.empty())
        if (const auto it = arities_.find(n); it != arities_.end()) return it->second;
    return baseArity_[updatePlace(n).first];
}

std::pair<unsigned, unsigned> UPDATE_NAMES::updatePlace(unsigned n) const {
    const unsigned place = n - UpdateNumbers;
    return {place >> shift_, place & ((1u << shift_) - 1)};
}

const UPDATE_NAMES::RANGE& UPDATE_NAMES::rangeOf(unsigned n) const {
    const unsigned place = n - RejectionNumbers;
    const auto after = std::upper_bound(ranges_.begin(), ranges_.end(), place,
                                        [](unsigned p, const RANGE& r) { return p < r.start; });
    return *(after - 1);
}

void UPDATE_NAMES::appendPlain(std::string& out, unsigned n, NOTATION notation) const {
    if (isRejectionNumber(n)) {
        const RANGE& r = rangeOf(n);
        AppendRejectionName(out, r.program, r.first + (n - RejectionNumbers - r.start));
        return;
    }
    const auto [b, i] = updatePlace(n);
    AppendName(out, bases_.text(b), notation);
    AppendProgramMark(out, i);
}

std::string UPDATE_NAMES::plainText(unsigned n) const {
    std::string out;
    appendPlain(out, n, NOTATION::INPUT);
    return out;
}

void UPDATE_NAMES::appendSuffix(std::string& out, unsigned n) const {
    if (const unsigned c = suffix(n); c != NoSuffix) AppendClashSuffix(out, c - 1);
}

std::string UPDATE_NAMES::text(unsigned n) const {
    std::string out = plainText(n);
    appendSuffix(out, n);
    return out;
}

void UPDATE_NAMES::appendText(std::string& out, unsigned n, NOTATION notation) const {
    appendPlain(out, n, notation);
    appendSuffix(out, n);
}

std::pair<unsigned, bool> UPDATE_NAMES::findRejection(const REJECTION_NUMBERS& numbers) const {
    if (numbers.program >= programRanges_.size()) return {0, false};
    const unsigned j = numbers.rule;
    for (unsigned k : programRanges_[numbers.program]) {
        const RANGE& range = ranges_[k];
        if (j < range.first || j - range.first >= range.count) continue;
        const unsigned n = RejectionNumbers + range.start + (j - range.first);
        return {n, made(n) && suffix(n) == numbers.suffix};
    }
    return {0, false};
}

std::pair<unsigned, bool> UPDATE_NAMES::findUpdate(std::string_view text) const {
    const std::optional<UPDATE_NAME_PARTS> parts = ReadUpdateName(text);
    if (!parts || parts->program >> shift_) return {0, false};
    const auto [b, known] = bases_.find(parts->base);
    if (!known) return {0, false};
    const unsigned n = UpdateNumbers + (b << shift_) + parts->program;
    return {n, made(n) && suffix(n) == parts->suffix};
}

std::pair<unsigned, bool> UPDATE_NAMES::find(std::string_view text) const {
    if (const auto numbers = ReadRejectionName(text))
        if (const auto found = findRejection(*numbers); found.second) return found;
    return findUpdate(text);
}

std::vector<std::pair<std::string, unsigned>> UPDATE_NAMES::inNameOrder() const {
    std::vector<std::pair<std::string, unsigned>> names;
    names.reserve(count_);
    const unsigned places = bases_.size() << shift_;
    for (unsigned place = 0; place < places; ++place)
        if (bit(madeUpdates_, place))
            names.emplace_back(text(UpdateNumbers + place), UpdateNumbers + place);
    forEachRejection([&](unsigned n) { names.emplace_back(text(n), n); });
    std::sort(names.begin(), names.end());
    return names;
}
