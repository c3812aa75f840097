#include "evaluation/program/declarations.hpp"

#include <charconv>
#include <limits>
#include <set>
#include <unordered_map>
#include <unordered_set>
#include <utility>

#include "common/contract.hpp"
#include "evaluation/program/reader.hpp"

namespace vok::evaluation {

namespace {

// "%vok:WORD", as a message shows it.
std::string declaration(std::string_view word) {
    return std::string(DeclarationMark) + std::string(word);
}

// Whether a declaration's text is the word and a blank, and what follows.
bool hasWord(std::string_view text, std::string_view word, std::string_view& rest) {
    if (!text.starts_with(word) || text.size() == word.size() || text[word.size()] != ' ')
        return false;
    rest = text.substr(word.size() + 1);
    return true;
}

bool isLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }

bool isIdentifier(std::string_view s) {
    if (s.empty() || !isLetter(s[0])) return false;
    for (char c : s)
        if (!isLetter(c) && !(c >= '0' && c <= '9') && c != '_') return false;
    return true;
}

bool readNumber(std::string_view s, unsigned& value) {
    auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), value);
    return !s.empty() && ec == std::errc() && end == s.data() + s.size();
}

// "a b c" split at single blanks.
std::vector<std::string_view> fieldsOf(std::string_view s) {
    std::vector<std::string_view> fields;
    for (;;) {
        std::size_t blank = s.find(' ');
        fields.push_back(s.substr(0, blank));
        if (blank == std::string_view::npos) return fields;
        s.remove_prefix(blank + 1);
    }
}

REJECTION_PREDICATE rejectionOf(const DECLARATION& d, std::string_view fields) {
    std::vector<std::string_view> f = fieldsOf(fields);
    REJECTION_PREDICATE p;
    p.line = d.line;
    if (f.size() != 3 || !isIdentifier(f[0]) || !readNumber(f[1], p.arity) ||
        !readNumber(f[2], p.level) || p.level == 0)
        throw SYNTAX_ERROR(d.line, "expected \"" + declaration(RejectionWord) +
                                       " NAME ARITY LEVEL\" (LEVEL from 1)");
    // The level becomes the priority of a heuristic modifier, an int in
    // clingo: a larger one would wrap around and reorder the levels.
    if (p.level > static_cast<unsigned>(std::numeric_limits<int>::max()))
        throw SYNTAX_ERROR(d.line, "LEVEL " + std::to_string(p.level) + " is too large (at most " +
                                       std::to_string(std::numeric_limits<int>::max()) + ")");
    p.name = std::string(f[0]);
    return p;
}

void checkCount(const DECLARATION& d, std::string_view field, std::size_t declared) {
    unsigned count = 0;
    if (!readNumber(field, count))
        throw SYNTAX_ERROR(d.line, "expected \"" + declaration(RejectionCountWord) + " COUNT\"");
    if (count != declared)
        throw SYNTAX_ERROR(d.line, "the file declares " + std::to_string(declared) +
                                       " rejection predicates, but its closing line says " +
                                       std::to_string(count));
}

}  // namespace

REJECTION_LIST ReadRejectionList(const std::vector<DECLARATION>& declarations) {
    REJECTION_LIST list;
    list.predicates.reserve(declarations.size());
    // The names where the declarations hold them, which do not move.
    std::unordered_set<std::string_view> seen;
    seen.reserve(declarations.size());
    for (const DECLARATION& d : declarations) {
        if (list.closed)
            throw SYNTAX_ERROR(d.line, "a declaration after the closing \"" +
                                           declaration(RejectionCountWord) + "\" line");
        std::string_view rest;
        if (hasWord(d.text, RejectionWord, rest)) {
            REJECTION_PREDICATE p = rejectionOf(d, rest);
            if (!seen.insert(rest.substr(0, rest.find(' '))).second)
                throw SYNTAX_ERROR(d.line, "rejection predicate " + p.name + " is declared twice");
            list.predicates.push_back(std::move(p));
        } else if (hasWord(d.text, RejectionCountWord, rest)) {
            checkCount(d, rest, list.predicates.size());
            list.closed = true;
        } else {
            throw SYNTAX_ERROR(d.line, "unknown declaration \"" + declaration(d.text) + "\"");
        }
    }
    return list;
}

std::vector<std::uint32_t> CheckRejectionList(const REJECTION_LIST& list, const PROGRAM& program) {
    std::unordered_map<std::string_view, std::size_t> declared;
    declared.reserve(list.predicates.size());
    for (std::size_t i = 0; i < list.predicates.size(); ++i)
        declared.emplace(list.predicates[i].name, i);
    std::vector<std::uint32_t> number(list.predicates.size(), NAME::NoNumber);
    std::vector<bool> heads(list.predicates.size(), false);
    for (const RULE& rule : program.rules)
        for (const ATOM& a : rule.head) {
            if (a.stronglyNegated || a.predicate.kind != NAME::KIND::IDENTIFIER) continue;
            const auto it = declared.find(a.predicate.text);
            if (it == declared.end() || list.predicates[it->second].arity != a.args.size())
                continue;
            heads[it->second] = true;
            number[it->second] = a.predicate.number;
        }
    for (std::size_t i = 0; i < list.predicates.size(); ++i) {
        const REJECTION_PREDICATE& p = list.predicates[i];
        if (!heads[i])
            throw SYNTAX_ERROR(p.line, "rejection predicate " + p.name + "/" +
                                           std::to_string(p.arity) +
                                           " heads no rule of the program");
    }
    return number;
}

}  // namespace vok::evaluation
