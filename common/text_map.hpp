// Maps keyed by text that are looked up by a view, without making a string
// of it for each lookup.
#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <unordered_map>

struct TEXT_HASH {
    using is_transparent = void;
    std::size_t operator()(std::string_view text) const {
        return std::hash<std::string_view>()(text);
    }
};

template <class VALUE>
using TEXT_MAP = std::unordered_map<std::string, VALUE, TEXT_HASH, std::equal_to<>>;
