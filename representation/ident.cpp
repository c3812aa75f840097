#include "ident.hpp"

#include <charconv>
#include <stdexcept>

#include "common/contract.hpp"
#include "common/never_destroyed.hpp"
#include "representation/compound.hpp"

// The global tables are made before main without asking for memory and
// never destroyed (see common/never_destroyed.hpp).
namespace {
NEVER_DESTROYED<NAMES> ConstantTable;
}  // namespace
NAMES& IDENT::Constants = ConstantTable.get();

int checkedNumber(unsigned n) {
    if (n > static_cast<unsigned>(IDENT::MaxNumber)) throw std::length_error("too many terms");
    return static_cast<int>(n);
}

IDENT newIDENT(std::string_view text, LOCAL_VARIABLES& variables) {
    if (!text.empty() && text[0] >= 'A' && text[0] <= 'Z') {
        auto [it, fresh] = variables.names.try_emplace(std::string(text), variables.count);
        if (fresh) ++variables.count;
        return IDENT(IDENT::VARIABLE, checkedNumber(it->second));
    }
    return IDENT(IDENT::CONSTANT, checkedNumber(IDENT::Constants.insert(text).first));
}

std::vector<IDENT> newIDENTS(const IDENT* first, const IDENT* second, const IDENT* third) {
    std::vector<IDENT> terms;
    terms.reserve(3);
    terms.push_back(*first);
    if (second) terms.push_back(*second);
    if (third) terms.push_back(*third);
    return terms;
}

void AppendTerm(std::string& out, const IDENT& term) {
    char digits[16];
    switch (term.kind()) {
        case IDENT::VARIABLE: out += 'X'; [[fallthrough]];
        case IDENT::INTEGER: {
            auto [end, error] = std::to_chars(digits, digits + sizeof digits, term.value());
            out.append(digits, end);
            break;
        }
        case IDENT::CONSTANT:
            out += IDENT::Constants.text(static_cast<unsigned>(term.value()));
            break;
        case IDENT::COMPOUND: out += Compounds.text(term); break;
        default: break;
    }
}

void PrintTerm(std::ostream& out, const IDENT& term) {
    std::string text;
    AppendTerm(text, term);
    out << text;
}

void PrintList(std::ostream& out, const std::vector<IDENT>& terms, const char* sep) {
    for (std::size_t i = 0; i < terms.size(); ++i) {
        if (i) out << sep;
        PrintTerm(out, terms[i]);
    }
}

void AppendName(std::string& out, std::string_view name, NOTATION notation) {
    if (notation == NOTATION::PEXA) AppendPexaName(out, name);
    else out += name;
}

void PrintName(std::ostream& out, std::string_view name, NOTATION notation) {
    std::string text;
    AppendName(text, name, notation);
    out << text;
}

void PrintList(std::ostream& out, NAMES::const_iterator first, NAMES::const_iterator last,
               const char* sep, NOTATION notation) {
    for (auto it = first; it != last; ++it) {
        if (it != first) out << sep;
        PrintName(out, it->name, notation);
    }
}
