// The rejection predicates a program file declares for minimal answer sets
// in one run of clingo.
//
// A program file vok writes for minimal answer sets ends with comment lines
// that name its rejection predicates; any reader of the file form skips
// them as comments:
//
//   %vok:rejection NAME ARITY LEVEL     one per rejection predicate
//   %vok:rejections COUNT               closes the list; COUNT lines above
//
// NAME is the predicate exactly as the file's rules write it, ARITY its
// number of arguments, LEVEL the position of its program in the update
// sequence (program 0 is level 1), at most 2^31 - 1. A list closed by a count of 0 says that
// nothing can be rejected, so every answer set is minimal. A file without
// the closing line says nothing, and its minimal answer sets are unknown:
// a file cut short, or one written without the list, must not pass for one
// in which nothing can be rejected.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "evaluation/program/syntax.hpp"

namespace vok::evaluation {

// --minimal=: all answer sets, or only the minimal or strictly minimal ones
// by the rejection predicates the file declares (clingo/one_run.hpp).
enum class MINIMALITY { NONE, MIN, STRICT };

struct REJECTION_PREDICATE {
    std::string name;  // an identifier, as the file writes it
    unsigned arity = 0;
    unsigned level = 0;
    int line = 0;  // of its declaration
};

struct REJECTION_LIST {
    bool closed = false;  // the closing count line was there
    std::vector<REJECTION_PREDICATE> predicates;
};

// The list the declarations make. Throws SYNTAX_ERROR (reader.hpp) for a
// malformed declaration, a name declared twice, a count that does not
// match, a declaration after the closing line or an unknown "%vok:" line.
REJECTION_LIST ReadRejectionList(const std::vector<DECLARATION>& declarations);

// Throws SYNTAX_ERROR when a declared predicate heads no rule of the
// program with the declared arity: the list then belongs to another program.
// Returns, per declared predicate, the number of its name in the program
// (NAME::number).
std::vector<std::uint32_t> CheckRejectionList(const REJECTION_LIST& list, const PROGRAM& program);

}  // namespace vok::evaluation
