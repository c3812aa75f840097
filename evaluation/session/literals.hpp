// The text forms of a session's atoms (clingo's form, and back to the
// file's notation) and the reading of a step's programs into rules in
// clingo's form.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "evaluation/program/syntax.hpp"
#include "evaluation/session/state.hpp"

namespace vok::evaluation::engine {

// The atom in clingo's form; pexa's "NEG_p" is the strong negation of p.
struct ATOM_FORM {
    std::string text;
    SIGN sign;
};

ATOM_FORM formOf(const ATOM& atom, bool pexa);

std::string complementText(std::string_view literal);

// p(X0,...,Xk-1) over a signature, for the rules that handle its atoms
// alike; with complement, over the complement's.
std::string pattern(const SESSION_SIGNATURE& sig, bool complement = false);

// "#show p/2." for the signature.
std::string showOf(const SESSION_SIGNATURE& sig);

// The file's notation of an atom or term in clingo's form: names decoded,
// strings without escapes.
std::string fileNotation(std::string_view clingo);
std::string termNotation(std::string_view clingo);

bool isFact(const RULE& rule);

// A rule with a body, or a constraint, as read, before it is taken.
struct READ_RULE {
    std::uint32_t number = 0;
    SESSION_RULE rule;
    SIGN head;  // of a rule
    std::vector<SIGN> positive, negative;
    std::optional<RULE_SHAPE> shape;  // when the maintained part may keep it
    bool hidden = false;              // the session's own rule: its head is never shown
};

// One program as read: its facts stay in the program read.
struct READ_PROGRAM {
    PROGRAM program;
    std::vector<READ_RULE> rules;
};

// Reads program number program of count and checks what clingo will be
// given of it: rules with one head literal, ground facts, bodies it can
// translate. A choice whose body the maintained part may keep is read as
// two rules (literals.cpp), numbering the session's such bodies by
// choiceBodies. Throws SESSION_REFUSED.
READ_PROGRAM readProgram(const std::string& text, const SESSION_CONFIG& config, std::size_t program,
                         std::size_t count, std::uint32_t& choiceBodies);

}  // namespace vok::evaluation::engine
