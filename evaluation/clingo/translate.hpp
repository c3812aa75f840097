// Puts a program into clingo's input language.
#pragma once

#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "common/contract.hpp"
#include "evaluation/clingo/names.hpp"
#include "evaluation/program/syntax.hpp"

namespace vok::evaluation {

// A program that cannot be handed to clingo as it is (an unsafe variable,
// arithmetic without a largest integer); line is where the rule starts.
// One that an option would let through names it, and what() ends with how
// a person running the program gives it ("give -N=<n>").
struct TRANSLATE_ERROR : std::runtime_error {
    int line;
    std::string reason;  // what() without the remedy
    std::string option;  // empty, or the option that would let it through
    TRANSLATE_ERROR(int at, const std::string& message)
        : std::runtime_error(message), line(at), reason(message) {}
    TRANSLATE_ERROR(int at, const std::string& why, std::string_view needed)
        : std::runtime_error(why + ": " + DirectRemedy(needed)),
          line(at),
          reason(why),
          option(needed) {}
};

// Each rule is written on the line where it starts in the file, so that
// line numbers in clingo's own messages point into the file.
//
// Builtins: the comparisons become clingo's comparisons (whose term order
// puts integers, numerically, before constants and strings). #int, #succ, +
// and * hold only for integers in 0..maxint and bind their variables in
// every argument position: a variable is computed from the others where
// they fix it (C = A+B, B = C-A, B = C/A, ...) and otherwise ranges over
// 0..maxint. Range checks are comparisons with 0 and maxint, which fail for
// constants and strings (they come after all integers), and every sum or
// product is checked against maxint before it is formed, so clingo's 32-bit
// arithmetic never overflows.
// maxint is at most LargestMaxint. The text is written into room's memory
// (the file's text, say, once the program is read), so that a large
// translation takes no fresh memory.
std::string Translate(const PROGRAM& program, std::optional<std::int64_t> maxint,
                      std::string room = {});

// clingo's intervals a..b never end when b is its largest integer
// (2147483647), so the integers of the builtins stop one short of it.
constexpr std::int64_t LargestMaxint = 2147483646;

// One rule in clingo's form (without a line end); with data, the
// predicates it holds are written as data (see names.hpp).
void appendRule(std::string& out, const RULE& rule, std::optional<std::int64_t> maxint,
                const DATA_NAMES* data);

// The body of a rule in clingo's form, as appendRule writes it, one part per
// conjunct: first each atom of the body in order ("not " before a
// default-negated one), then the builtins as comparisons and assignments.
// Throws TRANSLATE_ERROR as appendRule does (the rule's head is checked for
// safety too).
std::vector<std::string> BodyParts(const RULE& rule, std::optional<std::int64_t> maxint);

// Where the text written so far ends: its line, and whether a rule is on it.
struct LINE_PLACE {
    int line = 1;
    bool used = false;
};

// Moves on to the given line (a blank between rules on one line), so that
// each rule is written on the line where it starts in the file.
void placeOnLine(std::string& out, LINE_PLACE& place, int line);

}  // namespace vok::evaluation
