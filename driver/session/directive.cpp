#include "driver/session/directive.hpp"

#include <cctype>

namespace {

bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

std::string_view trimmed(std::string_view text) {
    while (!text.empty() && isBlank(text.front())) text.remove_prefix(1);
    while (!text.empty() && isBlank(text.back())) text.remove_suffix(1);
    return text;
}

// The line without its "%" comment; a "%" inside a quoted string (a file
// name, a goal's string) is no comment.
std::string_view withoutComment(std::string_view text) {
    bool quoted = false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '"') quoted = !quoted;
        else if (text[i] == '%' && !quoted) return text.substr(0, i);
    }
    return text;
}

bool isNameCharacter(char c) { return std::isalnum(static_cast<unsigned char>(c)) || c == '_'; }

SESSION_DIRECTIVE refused(std::string reason) {
    SESSION_DIRECTIVE d;
    d.refusal = std::move(reason);
    return d;
}

// The file of #save: one quoted string, not empty, without a quote inside
// (the input language's strings have no escapes).
SESSION_DIRECTIVE saveDirective(std::string_view argument) {
    if (argument.size() < 3 || argument.front() != '"' || argument.back() != '"' ||
        argument.substr(1, argument.size() - 2).find('"') != std::string_view::npos)
        return refused("#save needs a file name in double quotes, as in #save \"FILE\"");
    SESSION_DIRECTIVE d;
    d.kind = SESSION_DIRECTIVE::SAVE;
    d.argument = argument.substr(1, argument.size() - 2);
    return d;
}

}  // namespace

SESSION_DIRECTIVE ReadSessionDirective(std::string_view text) {
    std::string_view line = trimmed(withoutComment(text));
    std::size_t end = 1;
    while (end < line.size() && isNameCharacter(line[end])) ++end;
    const std::string name(line.substr(0, end));
    const bool known =
        name == "#undo" || name == "#save" || name == "#brave" || name == "#cautious";
    // The input's own directives hold inside the block they belong to.
    if (name == "#const" || name == "#show")
        return refused(name + " stands inside a block in a session: { " + name + " ... }");
    if (!known) return refused("unknown session directive '" + name + "'");
    if (line.size() == end || line.back() != '.') return refused(name + " must end with a period");
    const std::string_view argument = trimmed(line.substr(end, line.size() - 1 - end));
    SESSION_DIRECTIVE d;
    if (name == "#undo") {
        if (!argument.empty()) return refused("#undo takes nothing after it");
        d.kind = SESSION_DIRECTIVE::UNDO;
        return d;
    }
    if (name == "#save") return saveDirective(argument);
    if (argument.empty()) return refused(name + " needs a goal, as in " + name + " GOAL");
    d.kind = name == "#brave" ? SESSION_DIRECTIVE::BRAVE : SESSION_DIRECTIVE::CAUTIOUS;
    d.argument = argument;
    return d;
}
