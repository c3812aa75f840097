// A compact clingo text for programs with many ground rules of one shape.
//
// Ground rules that differ only in their constants (and in predicates that
// vary from rule to rule) are handed to clingo as one rule with variables
// over a table of facts that holds the constants:
//
//   rej_P0_R7 :- -p_P1(c7,d0).        t'0(7,c7,d0).   (on the rule's line)
//   rej_P0_R8 :- -p_P1(c8,d1).   ->   t'0(8,c8,d1).
//   ...                               g'0(V0) :- t'0(V0,V1,V2), -p_P1(V1,V2).
//
// clingo grounds a fact far more cheaply than a statement of its own, so a
// large fact base with its rewritten rules costs a fraction of the time and
// memory. A predicate that differs from rule to rule within a large group
// of one shape (rej_P0_R7, rej_P0_R8, ...) becomes data: all its atoms, in
// every rule, are written g'F(id, args) (names.hpp), and the answer sets
// are read back with the names of the file (solve/answer_sets.hpp).
//
// clingo instantiates each table rule once per row, which gives exactly the
// original ground rule (renamed) plus a true table atom; the table
// predicates occur nowhere else and are hidden with #show. So the answer
// sets are those of the plain translation, atom for atom. Their order is
// the order in which clingo's search finds them, which a different ground
// program may change: a program with several answer sets may print them
// in another order than its plain text, and -n=k then prints the first k
// that this search finds. A program with at most one answer set prints
// exactly what the plain text prints. The compact text is used for
// programs without disjunctions, each choice rule and each rule with an
// aggregate on a line of its own, unless an aggregate names a predicate
// that would become data (the others keep the plain text, byte for byte).
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "evaluation/clingo/names.hpp"
#include "evaluation/program/syntax.hpp"

namespace vok::evaluation {

// Fewest ground rules of one shape that get a table. Below it the saving
// does not show (clingo's fixed cost per table rule), and a program of a
// few hundred rules keeps the text it always had.
constexpr std::size_t MinGroup = 64;

struct CLINGO_TEXT {
    std::string text;
    DATA_NAMES data;  // empty when text is the plain translation
    // By NAME::number: whether a rule of the text has the name in its head.
    // Empty when the text holds every rule of the program. A name no rule
    // heads has no true atom, so the one-run script need not look for it.
    std::vector<bool> headed;
    // For the consequences: atoms true in every answer set that the text
    // leaves out (settled.hpp), in clingo's output form; empty otherwise.
    std::string settled = {};
};

// The program in clingo's language: compact where the program may be and is
// large enough (see above), otherwise what Translate writes. The compact
// text of a normal program also leaves out the ground rules that never
// apply and the "not" literals that always hold (simplify.hpp), which keeps
// the answer sets.
// Throws TRANSLATE_ERROR like Translate.
CLINGO_TEXT TranslateCompact(const PROGRAM& program, std::optional<std::int64_t> maxint,
                             std::size_t minGroup = MinGroup);

// For the brave and cautious consequences: the compact text of the program
// without the atoms its facts settle that no other rule looks at, which go
// to settled (settled.hpp). The consequences are those of the text plus
// settled, when the text has an answer set. Its answer sets are not the
// program's: it is for consequences only.
CLINGO_TEXT TranslateForConsequences(const PROGRAM& program, std::optional<std::int64_t> maxint,
                                     std::size_t minGroup = MinGroup);

}  // namespace vok::evaluation
