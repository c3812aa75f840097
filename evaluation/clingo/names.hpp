// Predicate names in clingo's language.
//
// clingo reads a name with an upper-case initial as a variable, has no
// quoted predicate names and reserves "not", so such names are rewritten
// into identifiers that no name of a file can be: they contain a "'", which
// the file forms never allow in a name.
//   p, rej_P0_R0   -> unchanged
//   P, NEG_b, not  -> u'P, u'NEG_b, u'not
//   "my pred"_P1   -> s''22my'20pred'22_P1
//                     (bytes other than A-Z a-z 0-9 _ written as 'XX)
// Two more kinds of names appear only in the compact text of large programs
// (compact.hpp), and are no names of a file either:
//   t'N            a table of constants, hidden from the answer sets
//   g'F(id,...)    an atom of a predicate written as data: the predicate is
//                  number id in DATA_NAMES, F its family; a leading "-"
//                  stays in front
// Constants in argument position are lower-case identifiers, which clingo
// reads as they are, so arguments are never rewritten.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "evaluation/program/syntax.hpp"

namespace vok::evaluation {

std::string encodePredicate(const NAME& name);

inline constexpr const char* TablePrefix = "t'";
inline constexpr const char* DataPrefix = "g'";

// The predicates written as data, numbered from 0 in the order the text
// first holds them.
struct DATA_NAMES {
    static constexpr std::uint32_t NoId = UINT32_MAX;
    // By the number the reader gave the name's text (NAME::number): its id,
    // or NoId. Only names read from the program are data.
    std::vector<std::uint32_t> idOfText;
    std::vector<std::string> texts;     // by id: the name as the file writes it
    std::vector<std::uint32_t> family;  // by id
};

// The id of name, or null when it is no data.
const std::uint32_t* findDataName(const DATA_NAMES& data, const NAME& name);
// The id of name, which is added to the family when it is new.
std::uint32_t addDataName(DATA_NAMES& data, const NAME& name, std::uint32_t family);

// The name as the file writes it (P, "my pred"_P1, p), from its clingo
// form. A name that is not of the encoded shapes is returned unchanged.
std::string decodePredicate(std::string_view clingoName);

}  // namespace vok::evaluation
