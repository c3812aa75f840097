// The values of the maintained part (kept_part.hpp): interned by their
// text, and a kept fact's read back from its literal's text once a join
// reads its signature, so that the many facts no rule reads never pay for
// their values.
#include <algorithm>
#include <charconv>
#include <string_view>
#include <utility>

#include "evaluation/session/kept_part.hpp"

namespace vok::evaluation::engine {

namespace {

bool isConstantStart(char c) { return (c >= 'a' && c <= 'z') || c == '_'; }
bool isNameChar(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_' ||
           c == '\'';
}

// Where the argument that begins at `at` ends: at the "," or ")" outside
// parentheses and strings after it.
std::size_t argumentEnd(std::string_view text, std::size_t at) {
    int depth = 0;
    for (bool quoted = false; at < text.size(); ++at) {
        const char c = text[at];
        if (quoted) {
            if (c == '\\') ++at;
            else if (c == '"') quoted = false;
        } else if (c == '"') {
            quoted = true;
        } else if (c == '(') {
            ++depth;
        } else if (c == ')' || c == ',') {
            if (depth == 0) return at;
            if (c == ')') --depth;
        }
    }
    return at;
}

// The value of an argument as clingo writes it: an integer, a constant, a
// string, or another term (one the part does not order).
std::uint32_t valueOfText(MAINTAINED& m, std::string_view arg) {
    std::int64_t number = 0;
    const char* end = arg.data() + arg.size();
    if (auto [at, ec] = std::from_chars(arg.data(), end, number);
        !arg.empty() && ec == std::errc() && at == end)
        return valueId(m, arg, VALUE_KIND::INTEGER, number);
    if (arg.size() >= 2 && arg.front() == '"' && argumentEnd(arg, 0) == arg.size())
        return valueId(m, arg, VALUE_KIND::STRING, 0);
    if (!arg.empty() && isConstantStart(arg[0]) && std::all_of(arg.begin(), arg.end(), isNameChar))
        return valueId(m, arg, VALUE_KIND::CONSTANT, 0);
    return valueId(m, arg, VALUE_KIND::OTHER, 0);
}

// Appends the values of the literal's arguments, read from its text: the
// signature's name ("-" before it when negative), then "(", the arguments
// separated by "," and ")".
void appendValuesOfText(SESSION& s, std::uint32_t id) {
    MAINTAINED& m = *s.maintained;
    const SESSION_SIGNATURE& sig = s.signatures[s.literals[id].signature];
    const std::string_view text = s.literals[id].text;
    std::size_t at = (sig.negative ? 1 : 0) + sig.name.size() + 1;
    for (std::uint32_t i = 0; i < sig.arity; ++i) {
        const std::size_t end = argumentEnd(text, at);
        m.argValues.push_back(valueOfText(m, text.substr(at, end - at)));
        at = end + 1;
    }
}

}  // namespace

std::uint32_t valueId(MAINTAINED& m, std::string_view text, VALUE_KIND kind, std::int64_t number) {
    if (auto known = m.valueIds.find(text); known != m.valueIds.end()) return known->second;
    // The value first: a request that fails leaves at most a value that no
    // key names.
    const auto id = static_cast<std::uint32_t>(m.values.size());
    m.values.push_back({{}, kind, number});
    m.values.back().text = m.valueIds.emplace(std::string(text), id).first->first;
    return id;
}

void keepWithValuesToCome(SESSION& s, std::uint32_t id) {
    MAINTAINED& m = *s.maintained;
    KEPT_SIGNATURE& ks = m.signatures[s.literals[id].signature];
    m.literals[id].args = ValuesToCome;
    ks.literals.push_back(id);
}

void internValuesToCome(SESSION& s, std::uint32_t sig) {
    MAINTAINED& m = *s.maintained;
    if (sig >= m.signatures.size()) return;
    KEPT_SIGNATURE& ks = m.signatures[sig];
    // Literals are only ever appended: those after valuesKnown are new
    // since the last reading, and each is read once.
    for (; ks.valuesKnown < ks.literals.size(); ++ks.valuesKnown) {
        KEPT_LITERAL& l = m.literals[ks.literals[ks.valuesKnown]];
        if (l.args != ValuesToCome) continue;  // derived by a rule, with its values
        l.args = static_cast<std::uint32_t>(m.argValues.size());
        appendValuesOfText(s, ks.literals[ks.valuesKnown]);
    }
}

}  // namespace vok::evaluation::engine
