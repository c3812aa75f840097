// Atoms, literals and rules built from texts, and any of them back in its
// text form. The representation keeps its state in globals that only grow:
// a test starts with resetProgramTables.
#pragma once

#include <sstream>
#include <string>

#include "base/options.hpp"
#include "representation/rule.hpp"
#include "tests/support/tables.hpp"

template <class T>
std::string text(const T& item, NOTATION notation = NOTATION::INPUT) {
    std::ostringstream out;
    std::string text;
    if constexpr (std::is_same_v<T, RULE>) PrintRule(out, item, notation);
    else if constexpr (std::is_same_v<T, CONSTRAINT>) PrintConstraint(out, item, notation);
    else if constexpr (std::is_same_v<T, LITERAL>) AppendLiteral(text, item, notation);
    else AppendAtom(text, item, notation);
    return out.str() + text;
}

// An atom by name over the given argument texts (upper case: variables).
inline ATOM atom(const std::string& name, std::initializer_list<const char*> args = {},
                 PREDICATE_NAMES::TYPE type = PREDICATE_NAMES::UNSPECIFIED) {
    if (args.size() == 0) return ATOM(name, std::nullopt, type);
    std::vector<IDENT> terms;
    for (const char* a : args) terms.push_back(termOf(a));
    return ATOM(name, ARGUMENTS(terms), type);
}

inline LITERAL pos(ATOM a) { return LITERAL(std::move(a), false); }
inline LITERAL neg(ATOM a) { return LITERAL(std::move(a), true); }
