#include "input/directives.hpp"

#include <charconv>

#include "input/parser.hpp"
#include "representation/compound.hpp"

namespace {

bool isLower(char c) { return c >= 'a' && c <= 'z'; }
bool isNameCharacter(char c) {
    return isLower(c) || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_';
}

// A constant's name as the scanner reads one, beginning with a lower-case
// letter (an upper-case one would make it a variable).
bool isConstantName(std::string_view name) {
    if (name.empty() || !isLower(name[0])) return false;
    for (char c : name)
        if (!isNameCharacter(c)) return false;
    return true;
}

// Where a definition stands, as diagnostics name places.
std::string placeOf(const CONSTANT_DEFINITION& d) {
    if (d.line == 0) return "the command line";
    return (d.input.empty() ? std::string() : d.input + ": ") + "line " + std::to_string(d.line);
}

// The value of a command-line definition, or nothing if it is none.
std::optional<IDENT> valueOf(std::string_view text) {
    if (isConstantName(text) ||
        (text.size() >= 2 && text.front() == '"' && text.back() == '"' &&
         text.substr(1, text.size() - 2).find('"') == std::string_view::npos))
        return IDENT(IDENT::CONSTANT, checkedNumber(IDENT::Constants.insert(text).first));
    const bool negative = text.starts_with('-');
    if (negative) text.remove_prefix(1);
    // At most 9 digits, as the scanner takes them.
    if (text.empty() || text.size() > 9 || text.front() < '0' || text.front() > '9')
        return std::nullopt;
    int value = 0;
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size()) return std::nullopt;
    return IDENT(IDENT::INTEGER, negative ? -value : value);
}

}  // namespace

IDENT TermOfName(PARSER& parser, const INPUT_DIRECTIVES& directives, const std::string& name) {
    if (!directives.constants.empty()) {
        const auto defined = directives.constants.find(name);
        if (defined != directives.constants.end()) return defined->second.value;
    }
    return newIDENT(name, parser.variables);
}

void DefineConstant(PARSER& parser, INPUT_DIRECTIVES& directives, const std::string& name,
                    IDENT value) {
    if (!isConstantName(name)) {
        CountedError(
            parser, "#const needs a name beginning with a lower-case letter, not \"" + name + "\"");
        return;
    }
    if (value.isVariable()) {
        CountedError(parser,
                     "#const " + name +
                         " needs a value: an integer, a constant or a string, not a variable");
        return;
    }
    if (HighestVariable(value) >= 0) {
        CountedError(parser, "#const " + name + " needs a ground value, without variables");
        return;
    }
    CONSTANT_DEFINITION here{value, parser.file ? parser.file : "", parser.line};
    const auto [at, fresh] = directives.constants.try_emplace(name, here);
    if (!fresh) {
        if (at->second.line != 0)
            CountedError(parser, "constant " + name + " is defined twice, here and at " +
                                     placeOf(at->second));
        return;
    }
    // A use before the definition was read as the name itself, which the
    // definition would silently not change.
    if (IDENT::Constants.contains(name)) {
        directives.constants.erase(at);
        CountedError(parser, "constant " + name +
                                 " is used before its #const; put the #const before its first use");
    }
}

std::optional<std::string> DefineOnCommandLine(INPUT_DIRECTIVES& directives,
                                               std::string_view definition) {
    const std::size_t equals = definition.find('=');
    const std::string_view name = definition.substr(0, std::min(equals, definition.size()));
    std::optional<IDENT> value;
    if (equals != std::string_view::npos && isConstantName(name))
        value = valueOf(definition.substr(equals + 1));
    if (!value)
        return "-c and --const need a definition NAME=VALUE (NAME beginning with a lower-case "
               "letter, VALUE an integer, a constant or a quoted string), not \"" +
               std::string(definition) + "\".";
    directives.constants.insert_or_assign(std::string(name), CONSTANT_DEFINITION{*value, "", 0});
    return std::nullopt;
}
