// The session's literal and signature tables (tables.hpp).
#include "evaluation/session/tables.hpp"

#include <algorithm>

namespace vok::evaluation::engine {

std::size_t LITERALS::slotOf(std::string_view text, std::uint32_t hash) const {
    return probeIndex(index_, hash, [&](const SLOT& slot) {
        return slot.hash == hash && list_[slot.id - 1].text == text;
    });
}

std::uint32_t LITERALS::find(std::string_view text) const {
    if (index_.slots.empty()) return None;
    const SLOT& slot = index_.slots[slotOf(text, nameHash(text))];
    return slot.free() ? None : slot.id - 1;
}

std::uint32_t LITERALS::intern(std::string_view text, std::uint32_t signature) {
    // At most three quarters full, as the reader's index: the slots keep
    // the hashes, so that a longer probe reads no literal, and the index
    // stays within the memory of a half-full one without them.
    if (4 * (list_.size() + 1) > 3 * index_.slots.size())
        regrowIndex(index_, index_.slots.empty() ? 1024 : 2 * index_.slots.size());
    const std::uint32_t hash = nameHash(text);
    SLOT& slot = index_.slots[slotOf(text, hash)];
    if (!slot.free()) return slot.id - 1;
    SESSION_LITERAL l;
    const std::span<const char> kept = keep(texts_, std::span<const char>(text));
    l.text = std::string_view(kept.data(), kept.size());
    l.signature = signature;
    list_.push_back(l);
    slot = SLOT{hash, static_cast<std::uint32_t>(list_.size())};
    return slot.id - 1;
}

void LITERALS::reserve(std::size_t more) {
    reserveMore(list_, more);
    // The size intern would grow the index to, by the same rule.
    const std::size_t want = list_.size() + more;
    std::size_t slots = index_.slots.empty() ? 1024 : index_.slots.size();
    while (4 * want > 3 * slots) slots *= 2;
    if (slots > index_.slots.size()) regrowIndex(index_, slots);
}

std::uint32_t LITERALS::knownComplement(std::uint32_t id) {
    if (list_[id].complement != None) return list_[id].complement;
    const std::string_view text = list_[id].text;
    buffer_.clear();
    if (text.starts_with('-')) buffer_.append(text.substr(1));
    else buffer_.append("-").append(text);
    const std::uint32_t other = find(buffer_);
    if (other != None) {
        list_[id].complement = other;
        list_[other].complement = id;
    }
    return other;
}

std::string signKey(bool negative, std::string_view name, std::uint32_t arity) {
    std::string key = negative ? "-" : "";
    key.append(name).append("/").append(std::to_string(arity));
    return key;
}

std::uint32_t SIGNATURES::of(const SIGN& sign) {
    auto [at, fresh] = ids.try_emplace(sign.key, size());
    if (!fresh) return at->second;
    SESSION_SIGNATURE sig;
    sig.name = sign.name;
    sig.arity = sign.arity;
    sig.negative = sign.negative;
    list.push_back(std::move(sig));
    const std::uint32_t id = at->second;
    auto found = ids.find(signKey(!sign.negative, sign.name, sign.arity));
    if (found != ids.end()) {
        list[id].complement = found->second;
        list[found->second].complement = id;
    }
    return id;
}

}  // namespace vok::evaluation::engine
