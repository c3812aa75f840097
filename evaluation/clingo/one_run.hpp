// Minimal answer sets in one run of clingo: with --minimal the evaluation
// program appends a Lua script (one_run.lua) to the clingo text, after the
// program's last line so that clingo's line numbers still point into the
// file. The script reads the rejection predicates the file declares
// (program/declarations.hpp), prints the minimal answer sets as clingo's
// text output does and ends with OneRunClosingLine. In the compact text of
// a large program (compact.hpp) a rejection predicate may be written as
// data, g'F(id, args); the script then finds its atoms in family F by id.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "evaluation/clingo/compact.hpp"
#include "evaluation/program/declarations.hpp"

namespace vok::evaluation {

// The clingo text that computes the minimal (strict: strictly minimal by
// level) answer sets, at most limit of them (0: all): the script with its
// data, to go after text, the program's clingo text. numbers holds the
// number of each declared predicate's name in the program
// (CheckRejectionList); with it, the predicates the text writes as data
// are given to the script as data, and those no rule of the text heads are
// left out (they have no atom to decide). Empty numbers: every predicate
// by its name.
std::string OneRunScript(const REJECTION_LIST& list, const std::vector<std::uint32_t>& numbers,
                         const CLINGO_TEXT& text, bool strict, std::size_t limit);

// The text of one_run.lua, compiled in by the build.
extern const std::string_view OneRunLua;
// The text of minimal_search.lua: the search for the answer sets with
// minimal rejection sets, which the one-run script and a session's script
// begin with.
extern const std::string_view MinimalSearchLua;

// The script's last line once every answer set asked for has been printed.
inline constexpr std::string_view OneRunClosingLine = "One run: complete";
// Its last line when a search was interrupted (a time limit, a signal)
// before that.
inline constexpr std::string_view OneRunInterruptedLine = "One run: interrupted";

}  // namespace vok::evaluation
