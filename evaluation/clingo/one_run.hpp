// Minimal answer sets in one run of clingo: with --minimal the evaluation
// program appends a Lua script (one_run.lua) to the clingo text, after the
// program's last line so that clingo's line numbers still point into the
// file. The script reads the rejection predicates the file declares
// (program/declarations.hpp), prints the minimal answer sets as clingo's
// text output does and ends with OneRunClosingLine.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "evaluation/program/declarations.hpp"

namespace vok::evaluation {

// The clingo text that computes the minimal (strict: strictly minimal by
// level) answer sets, at most limit of them (0: all): the script with its
// data, to go after the program's own text.
std::string OneRunScript(const REJECTION_LIST& list, bool strict, std::size_t limit);

// The text of one_run.lua, compiled in by the build.
extern const std::string_view OneRunLua;

// The script's last line once every answer set asked for has been printed.
inline constexpr std::string_view OneRunClosingLine = "One run: complete";
// Its last line when a search was interrupted (a time limit, a signal)
// before that.
inline constexpr std::string_view OneRunInterruptedLine = "One run: interrupted";

}  // namespace vok::evaluation
