#include "driver/session/session_base.hpp"

#include <algorithm>
#include <functional>
#include <iterator>

#include "common/contract.hpp"
#include "driver/output/answer_atom.hpp"
#include "driver/show.hpp"

namespace {

// Chunks hold about this many atoms: small enough that a change is cheap,
// large enough that an answer set is written in long runs of text.
constexpr std::size_t ChunkAtoms = 512;

using CHUNKS = std::vector<BASE_SET::CHUNK>;

// The first chunk from the first-th on whose last atom is not below atom
// (or the last chunk).
CHUNKS::iterator chunkFor(CHUNKS& chunks, std::string_view atom, std::size_t first = 0) {
    auto at = std::lower_bound(
        chunks.begin() + static_cast<std::ptrdiff_t>(first), chunks.end(), atom,
        [](const BASE_SET::CHUNK& c, std::string_view a) { return c.atoms.back() < a; });
    return at == chunks.end() && !chunks.empty() ? std::prev(at) : at;
}

// The atoms again in chunks of even size.
void rechunk(BASE_SET& base, std::vector<std::string>&& atoms) {
    base.chunks.clear();
    base.size = atoms.size();
    base.hash = 0;
    for (const std::string& a : atoms) base.hash += AtomHash(a);
    for (std::size_t i = 0; i < atoms.size(); i += ChunkAtoms) {
        BASE_SET::CHUNK c;
        const std::size_t end = std::min(atoms.size(), i + ChunkAtoms);
        c.atoms.assign(std::make_move_iterator(atoms.begin() + static_cast<std::ptrdiff_t>(i)),
                       std::make_move_iterator(atoms.begin() + static_cast<std::ptrdiff_t>(end)));
        base.chunks.push_back(std::move(c));
    }
}

// Splits a chunk grown past twice the even size into chunks of even size,
// in place; returns the index of the chunk after them.
std::size_t splitChunk(CHUNKS& chunks, std::size_t i) {
    if (chunks[i].atoms.size() < 2 * ChunkAtoms) return i + 1;
    std::vector<std::string> atoms = std::move(chunks[i].atoms);
    CHUNKS pieces;
    for (std::size_t from = 0, end = 0; from < atoms.size(); from = end) {
        // The last piece takes the rest, so that none is small.
        end = atoms.size() - from < 2 * ChunkAtoms ? atoms.size() : from + ChunkAtoms;
        BASE_SET::CHUNK c;
        c.atoms.assign(std::make_move_iterator(atoms.begin() + static_cast<std::ptrdiff_t>(from)),
                       std::make_move_iterator(atoms.begin() + static_cast<std::ptrdiff_t>(end)));
        pieces.push_back(std::move(c));
    }
    const auto at = chunks.begin() + static_cast<std::ptrdiff_t>(i);
    *at = std::move(pieces.front());
    chunks.insert(std::next(at), std::make_move_iterator(pieces.begin() + 1),
                  std::make_move_iterator(pieces.end()));
    return i + pieces.size();
}

void insertOne(BASE_SET& base, std::string atom) {
    if (base.chunks.empty()) {
        base.chunks.emplace_back();
        base.hash = AtomHash(atom);
        base.chunks.back().atoms.push_back(std::move(atom));
        base.size = 1;
        return;
    }
    auto c = chunkFor(base.chunks, atom);
    auto at = std::lower_bound(c->atoms.begin(), c->atoms.end(), atom);
    if (at != c->atoms.end() && *at == atom) return;
    base.hash += AtomHash(atom);
    c->atoms.insert(at, std::move(atom));
    c->stale = true;
    ++base.size;
    splitChunk(base.chunks, static_cast<std::size_t>(c - base.chunks.begin()));
}

void removeOne(BASE_SET& base, std::string_view atom) {
    if (base.chunks.empty()) return;
    auto c = chunkFor(base.chunks, atom);
    auto at = std::lower_bound(c->atoms.begin(), c->atoms.end(), atom);
    if (at == c->atoms.end() || *at != atom) return;
    base.hash -= AtomHash(atom);
    c->atoms.erase(at);
    c->stale = true;
    --base.size;
    if (c->atoms.empty()) base.chunks.erase(c);
}

// Takes many new atoms (sorted, distinct) chunk by chunk: each chunk they
// fall into is merged with its own new atoms only, and the chunks they miss
// keep their printed text, so a step that adds a thousand atoms to a base of
// a million costs the chunks it touches, not the base.
void insertSorted(BASE_SET& base, std::vector<std::string>&& added) {
    std::size_t i = 0;
    auto next = added.begin();
    while (next != added.end()) {
        i = static_cast<std::size_t>(chunkFor(base.chunks, *next, i) - base.chunks.begin());
        BASE_SET::CHUNK& c = base.chunks[i];
        // The new atoms up to this chunk's last atom (the last chunk takes
        // all that are left).
        auto end = i + 1 < base.chunks.size() ? std::upper_bound(next, added.end(), c.atoms.back())
                                              : added.end();
        std::vector<std::string> merged;
        merged.reserve(c.atoms.size() + static_cast<std::size_t>(end - next));
        auto old = c.atoms.begin();
        for (; next != end; ++next) {
            for (; old != c.atoms.end() && *old < *next; ++old) merged.push_back(std::move(*old));
            if (old != c.atoms.end() && *old == *next) continue;
            base.hash += AtomHash(*next);
            ++base.size;
            merged.push_back(std::move(*next));
        }
        merged.insert(merged.end(), std::make_move_iterator(old),
                      std::make_move_iterator(c.atoms.end()));
        c.atoms = std::move(merged);
        c.stale = true;
        i = splitChunk(base.chunks, i);
        i = std::min(i, base.chunks.size() - 1);
    }
}

// Whether shown takes in an atom as vok prints it.
bool shownPrinted(const SHOWN_PREDICATES& shown, std::string_view printed) {
    const ANSWER_ATOM atom = readAnswerAtom(printed);
    return shown.shows(atom.name(), atom.argCount());
}

const ANSWER_ATOMS& chunkAtoms(const BASE_SET& base, BASE_SET::CHUNK& c) {
    if (!c.stale) return c.printed;
    c.printed.clear();
    for (const std::string& a : c.atoms) AddShownAtom(base, a, c.printed);
    c.stale = false;
    return c.printed;
}

}  // namespace

std::uint64_t AtomHash(std::string_view atom) { return std::hash<std::string_view>()(atom); }

void ShowInBase(BASE_SET& base, const SHOWN_PREDICATES& shown) {
    if (base.shown == shown) return;
    base.shown = shown;
    for (BASE_SET::CHUNK& c : base.chunks) c.stale = true;
}

void AddShownAtom(const BASE_SET& base, std::string_view atom, ANSWER_ATOMS& out) {
    if (!base.pexa && base.shown.all) return out.add(atom);
    const std::string printed = PrintedAtom(base, atom);
    if (base.shown.all || shownPrinted(base.shown, printed)) out.add(printed);
}

std::string PrintedAtom(const BASE_SET& base, std::string_view atom) {
    return base.pexa ? InputNameOfPexa(atom) : std::string(atom);
}

void ChangeBase(BASE_SET& base, std::vector<std::string> added, std::vector<std::string> removed) {
    for (const std::string& a : removed) removeOne(base, a);
    if (added.size() <= 64) {
        for (std::string& a : added) insertOne(base, std::move(a));
        return;
    }
    std::sort(added.begin(), added.end());
    added.erase(std::unique(added.begin(), added.end()), added.end());
    if (base.chunks.empty()) return rechunk(base, std::move(added));
    insertSorted(base, std::move(added));
}

bool BaseHolds(const BASE_SET& base, std::string_view atom) {
    auto at = std::lower_bound(
        base.chunks.begin(), base.chunks.end(), atom,
        [](const BASE_SET::CHUNK& c, std::string_view a) { return c.atoms.back() < a; });
    if (at == base.chunks.end()) return false;
    return std::binary_search(at->atoms.begin(), at->atoms.end(), atom);
}

bool LineHolds(const ANSWER_ATOMS& line, std::string_view atom) {
    std::size_t low = 0, high = line.size();
    while (low < high) {
        const std::size_t middle = low + (high - low) / 2;
        if (line[middle] < atom) low = middle + 1;
        else high = middle;
    }
    return low < line.size() && line[low] == atom;
}

void SortLine(ANSWER_ATOMS& line) {
    std::size_t i = 1;
    while (i < line.size() && !(line[i] < line[i - 1])) ++i;
    if (i >= line.size()) return;
    std::vector<std::string_view> atoms;
    atoms.reserve(line.size());
    for (i = 0; i < line.size(); ++i) atoms.push_back(line[i]);
    std::sort(atoms.begin(), atoms.end());
    ANSWER_ATOMS sorted;
    sorted.text.reserve(line.text.size());
    for (std::string_view a : atoms) sorted.add(a);
    swap(line, sorted);
}

void AnswerSetOf(BASE_SET& base, const ANSWER_ATOMS& atoms, ANSWER_ATOMS& out) {
    out.clear();
    std::size_t e = 0;
    for (BASE_SET::CHUNK& c : base.chunks) {
        // A chunk that no atom of the line falls into is copied whole.
        if (e == atoms.size() || c.atoms.back() < atoms[e]) {
            out.append(chunkAtoms(base, c));
            continue;
        }
        for (const std::string& a : c.atoms) {
            for (; e < atoms.size() && atoms[e] < a; ++e) AddShownAtom(base, atoms[e], out);
            AddShownAtom(base, a, out);
        }
    }
    for (; e < atoms.size(); ++e) AddShownAtom(base, atoms[e], out);
}
