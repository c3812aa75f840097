// The goal of -FB= and -FC= read as a pattern, and its matching against the
// atoms of an answer set.
//
// A goal is an optional "-" (strong negation), a name, and optionally an
// argument list in parentheses: terms separated by ",", each a constant, an
// integer, a quoted string (from a double quote to the next, as in the
// input), a variable (an upper-case initial, or "_" first) or a function
// term f(a,g(X)). Blanks may stand between tokens. "_" alone is anonymous:
// each occurrence binds apart.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "driver/output/answer_atom.hpp"

struct GOAL_TERM {
    enum KIND { GROUND, VARIABLE, ANONYMOUS, FUNCTION };
    KIND kind = GROUND;
    std::string text;             // GROUND: as an answer set writes it; FUNCTION: its name
    std::size_t variable = 0;     // VARIABLE: its number, in order of first appearance
    std::vector<GOAL_TERM> args;  // FUNCTION: holds a variable somewhere
};

struct GOAL_PATTERN {
    std::string name;  // "-p" for strong negation, as the answer set writes it
    bool listed = false;
    std::vector<GOAL_TERM> args;
    std::string text;                    // the goal as an answer set writes it: no blanks
    std::vector<std::string> variables;  // named ones, in order of first appearance
    bool anonymous = false;              // holds "_"

    // A goal without variables: it is one atom, compared as text.
    bool ground() const { return variables.empty() && !anonymous; }
};

// Why a goal does not read: what, and at which column (from 1).
struct GOAL_SYNTAX_ERROR {
    std::size_t column = 0;
    std::string reason;
};

// The pattern of a goal, or why it does not read.
struct GOAL_PARSE {
    std::optional<GOAL_PATTERN> pattern;
    GOAL_SYNTAX_ERROR error;
};

GOAL_PARSE ParseGoal(std::string_view goal);

// The values of the named variables of a match, parts of the atom's text.
using GOAL_BINDINGS = std::vector<std::string_view>;

// Whether the atom (as the filter reads it, strong negation "-p") is an
// instance of the pattern; bindings then holds the values of its named
// variables. The name and the number of arguments are compared first.
bool MatchGoal(const GOAL_PATTERN& pattern, const ANSWER_ATOM& atom, GOAL_BINDINGS& bindings);

// The same for an atom as text ("p(a,\"b c\")"), read only when its name
// could be the pattern's.
bool MatchGoalText(const GOAL_PATTERN& pattern, std::string_view atom);

// The values of the named variables in an instance of the pattern, in the
// order of pattern.variables; empty when atom is none.
std::vector<std::string> BoundValues(const GOAL_PATTERN& pattern, std::string_view atom);
