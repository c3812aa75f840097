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
// Constants in argument position are lower-case identifiers, which clingo
// reads as they are, so arguments are never rewritten.
#pragma once

#include <string>
#include <string_view>

#include "syntax.hpp"

namespace vok::evaluation {

std::string encodePredicate(const NAME& name);

// The name as the file writes it (P, "my pred"_P1, p), from its clingo
// form. A name that is not of the encoded shapes is returned unchanged.
std::string decodePredicate(std::string_view clingoName);

}  // namespace vok::evaluation
