#include "driver/session/answer_changes.hpp"

#include <algorithm>
#include <iterator>
#include <string_view>
#include <unordered_map>

namespace {

using VIEWS = std::vector<std::string_view>;

struct RAW_CHANGES {
    VIEWS removed, added;
    bool none() const { return removed.empty() && added.empty(); }
};

bool listed(const std::vector<std::string>& sorted, std::string_view atom) {
    return std::binary_search(sorted.begin(), sorted.end(), atom, std::less<>());
}

// Whether the base before held atom: the base now, without what entered
// it and with what left it.
bool heldBefore(const BASE_SET& base, const BASE_DELTA& delta, std::string_view atom) {
    if (listed(delta.removed, atom)) return true;
    return !listed(delta.added, atom) && BaseHolds(base, atom);
}

// The atoms of the base's changes, each once, in order.
VIEWS deltaAtoms(const BASE_DELTA& delta) {
    VIEWS atoms;
    atoms.reserve(delta.added.size() + delta.removed.size());
    std::merge(delta.added.begin(), delta.added.end(), delta.removed.begin(), delta.removed.end(),
               std::back_inserter(atoms));
    atoms.erase(std::unique(atoms.begin(), atoms.end()), atoms.end());
    return atoms;
}

VIEWS merged(const VIEWS& a, const VIEWS& b) {
    VIEWS out;
    out.reserve(a.size() + b.size());
    std::merge(a.begin(), a.end(), b.begin(), b.end(), std::back_inserter(out));
    return out;
}

// The atoms before lacks and now holds, and the reverse. An atom on one
// line only is in the other set only through that set's base; an atom on
// neither line changes only when it entered or left the base.
RAW_CHANGES changesOf(const KEPT_ANSWER& before, const KEPT_ANSWER& now, const BASE_SET& base,
                      const BASE_DELTA& delta) {
    RAW_CHANGES lines, bases;
    const ANSWER_ATOMS &b = before.line, &n = now.line;
    std::size_t i = 0, j = 0;
    while (i < b.size() || j < n.size()) {
        if (j == n.size() || (i < b.size() && b[i] < n[j])) {
            if (!BaseHolds(base, b[i])) lines.removed.push_back(b[i]);
            ++i;
        } else if (i == b.size() || n[j] < b[i]) {
            if (!heldBefore(base, delta, n[j])) lines.added.push_back(n[j]);
            ++j;
        } else {
            ++i, ++j;
        }
    }
    for (std::string_view atom : deltaAtoms(delta)) {
        if (LineHolds(b, atom) || LineHolds(n, atom)) continue;
        const bool was = heldBefore(base, delta, atom), is = BaseHolds(base, atom);
        if (was && !is) bases.removed.push_back(atom);
        if (is && !was) bases.added.push_back(atom);
    }
    if (bases.none()) return lines;
    return RAW_CHANGES{merged(lines.removed, bases.removed), merged(lines.added, bases.added)};
}

// The hash of a whole answer set, which equal sets share whatever their
// atoms in the base: the sum of AtomHash over the base and the line. Made
// only where several answer sets are matched, since a line may hold a
// million atoms.
std::uint64_t answerHash(const KEPT_ANSWER& a) {
    std::uint64_t hash = a.baseHash;
    for (std::size_t i = 0; i < a.line.size(); ++i) hash += AtomHash(a.line[i]);
    return hash;
}

// For each answer set of now, the answer set before it is matched with,
// and whether it was paired by order only.
struct MATCH {
    std::optional<std::size_t> before;
    bool byOrder = false;
};

std::vector<MATCH> matches(const std::vector<KEPT_ANSWER>& before,
                           const std::vector<KEPT_ANSWER>& now, const BASE_SET& base,
                           const BASE_DELTA& delta) {
    std::vector<MATCH> match(now.size());
    if (before.size() == 1 && now.size() == 1) {
        match[0].before = 0;
        return match;
    }
    std::vector<bool> taken(before.size());
    std::unordered_multimap<std::uint64_t, std::size_t> byHash;
    for (std::size_t j = 0; j < before.size(); ++j) byHash.emplace(answerHash(before[j]), j);
    for (std::size_t i = 0; i < now.size(); ++i) {
        const auto [first, last] = byHash.equal_range(answerHash(now[i]));
        for (auto at = first; at != last; ++at) {
            const std::size_t j = at->second;
            if (taken[j] || !changesOf(before[j], now[i], base, delta).none()) continue;
            match[i].before = j;
            taken[j] = true;
            break;
        }
    }
    std::size_t j = 0;
    for (MATCH& m : match) {
        if (m.before) continue;
        while (j < before.size() && taken[j]) ++j;
        if (j == before.size()) break;
        m = MATCH{j, true};
        taken[j] = true;
    }
    return match;
}

ANSWER_ATOMS printed(const BASE_SET& base, const VIEWS& atoms) {
    ANSWER_ATOMS out;
    for (std::string_view atom : atoms) AddShownAtom(base, atom, out);
    return out;
}

}  // namespace

std::vector<std::optional<ANSWER_CHANGES>> StepChanges(const std::vector<KEPT_ANSWER>& before,
                                                       const std::vector<KEPT_ANSWER>& now,
                                                       const BASE_SET& base,
                                                       const BASE_DELTA& delta) {
    std::vector<std::optional<ANSWER_CHANGES>> told(now.size());
    const std::vector<MATCH> match = matches(before, now, base, delta);
    for (std::size_t i = 0; i < now.size(); ++i) {
        if (!match[i].before) continue;
        const RAW_CHANGES c = changesOf(before[*match[i].before], now[i], base, delta);
        if (match[i].byOrder && c.removed.size() + c.added.size() > base.size + now[i].line.size())
            continue;
        told[i] =
            ANSWER_CHANGES{*match[i].before + 1, printed(base, c.removed), printed(base, c.added)};
    }
    return told;
}
