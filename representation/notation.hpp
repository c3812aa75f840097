// The notation a program's text is written in, which the type of
// evaluation program (PROGRAM_TYPE, -P=) decides.
#pragma once

#include "base/options.hpp"

// The notation of a program's text: the input's own (rox, and the types
// whose output is not read), or pexa's, where a predicate name's leading
// "-" is written "NEG_" and default negation "~".
enum class NOTATION { INPUT, PEXA };

inline NOTATION NotationOf(PROGRAM_TYPE type) {
    return type == PROGRAM_TYPE::PEXA ? NOTATION::PEXA : NOTATION::INPUT;
}
