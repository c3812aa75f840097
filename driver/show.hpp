// --show=p/1,q/0,-r/2: the predicates whose atoms the results show. The
// answer sets stay whole for the goal test and the minimality test; only
// what is printed of them (text, JSON, a goal's witness) leaves the other
// atoms out. The list is a value: a run keeps one (driver/run_state.hpp),
// a session one that its blocks' #show extend.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

// A predicate as --show and #show name it: NAME ("-" before it for strong
// negation) and ARITY.
using SHOWN_PREDICATE = std::pair<std::string, std::size_t>;

struct SHOWN_PREDICATES {
    bool all = true;                          // every atom is shown (no --show, no #show)
    std::vector<SHOWN_PREDICATE> predicates;  // sorted; when !all

    bool operator==(const SHOWN_PREDICATES&) const = default;

    // Whether the atoms of predicate name/arity are printed.
    bool shows(std::string_view name, std::size_t arity) const;

    // The predicates that the inputs' #show name join the list; when every
    // atom was shown they are the only ones shown, and none at all is
    // "#show." alone.
    void also(const std::vector<SHOWN_PREDICATE>& more);
};

// Reads a list: predicates written NAME/ARITY, separated by ",", a
// strongly negated one with "-" before its name ("-r/2"), into shown.
// Returns the entry at fault when the list is malformed (shown is then
// left as it was), or nothing.
std::optional<std::string> ReadShowList(std::string_view list, SHOWN_PREDICATES& shown);
