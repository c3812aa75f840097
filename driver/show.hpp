// --show=p/1,q/0,-r/2: the predicates whose atoms the results show. The
// answer sets stay whole for the goal test and the minimality test; only
// what is printed of them (text, JSON, a goal's witness) leaves the other
// atoms out.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "driver/output/answer_atom.hpp"

// Takes the list: predicates written NAME/ARITY, separated by ",", a
// strongly negated one with "-" before its name ("-r/2"). Returns the
// entry at fault when the list is malformed (and the shown predicates are
// then as before), or nothing.
std::optional<std::string> ReadShowList(std::string_view list);

// Whether an atom of an answer set is printed: without --show every atom
// is, with it those of the listed predicates.
bool IsShown(const ANSWER_ATOM& atom);

// Whether every atom is shown (no --show).
bool ShowsEveryAtom();

// The predicates that the inputs' #show name (NAME with "-" for strong
// negation, ARITY) join those of --show; without --show they are the only
// ones shown, and none at all is "#show." alone.
void ShowAlso(const std::vector<std::pair<std::string, std::size_t>>& predicates);

// Every atom shown again, as without --show.
void ShowEveryAtom();

// What is shown now, kept by a session before it reads a block, so that a
// block dropped after its #show was read leaves the filter as it was.
struct SHOWN_NOW {
    bool all = true;
    std::vector<std::pair<std::string, std::size_t>> predicates;
};
SHOWN_NOW ShownNow();
void ShowAsBefore(SHOWN_NOW before);
