#include "driver/show.hpp"

#include <algorithm>
#include <charconv>
#include <utility>
#include <vector>

namespace {

bool isLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
bool isDigit(char c) { return c >= '0' && c <= '9'; }

// A name as the input writes one (a letter, then letters, digits and "_"),
// strong negation as "-" before it.
bool isPredicateName(std::string_view name) {
    if (name.starts_with('-')) name.remove_prefix(1);
    if (name.empty() || !isLetter(name[0])) return false;
    return std::all_of(name.begin(), name.end(),
                       [](char c) { return isLetter(c) || isDigit(c) || c == '_'; });
}

std::string_view trimmed(std::string_view text) {
    while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
    while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
    return text;
}

// One entry NAME/ARITY, or nothing when it is malformed.
std::optional<SHOWN_PREDICATE> predicateOf(std::string_view entry) {
    const std::size_t slash = entry.rfind('/');
    if (slash == std::string_view::npos) return std::nullopt;
    const std::string_view name = entry.substr(0, slash), arity = entry.substr(slash + 1);
    std::size_t n = 0;
    auto [end, ec] = std::from_chars(arity.data(), arity.data() + arity.size(), n);
    if (!isPredicateName(name) || arity.empty() || ec != std::errc() ||
        end != arity.data() + arity.size())
        return std::nullopt;
    return SHOWN_PREDICATE{std::string(name), n};
}

bool lessThan(const SHOWN_PREDICATE& p, std::pair<std::string_view, std::size_t> key) {
    const int order = std::string_view(p.first).compare(key.first);
    return order < 0 || (order == 0 && p.second < key.second);
}

}  // namespace

std::optional<std::string> ReadShowList(std::string_view list, SHOWN_PREDICATES& shown) {
    SHOWN_PREDICATES read{false, {}};
    for (std::size_t start = 0;;) {
        const std::size_t comma = std::min(list.find(',', start), list.size());
        const std::string_view entry = trimmed(list.substr(start, comma - start));
        std::optional<SHOWN_PREDICATE> predicate = predicateOf(entry);
        if (!predicate) return std::string(entry);
        read.predicates.push_back(std::move(*predicate));
        if (comma == list.size()) break;
        start = comma + 1;
    }
    // Repeats stay: each entry is warned of on its own when no program
    // mentions it.
    std::sort(read.predicates.begin(), read.predicates.end());
    shown = std::move(read);
    return std::nullopt;
}

bool SHOWN_PREDICATES::shows(std::string_view name, std::size_t arity) const {
    if (all) return true;
    const std::pair<std::string_view, std::size_t> key{name, arity};
    auto at = std::lower_bound(predicates.begin(), predicates.end(), key, lessThan);
    return at != predicates.end() && at->first == key.first && at->second == key.second;
}

void SHOWN_PREDICATES::also(const std::vector<SHOWN_PREDICATE>& more) {
    all = false;
    predicates.insert(predicates.end(), more.begin(), more.end());
    std::sort(predicates.begin(), predicates.end());
    predicates.erase(std::unique(predicates.begin(), predicates.end()), predicates.end());
}
