// The conversation with the session's clingo: starting it with the script,
// its commands (session.lua lists them) and the reading of its replies.
// A failure of clingo stops it and throws SESSION_FAILED.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "evaluation/session/state.hpp"

namespace vok::evaluation::engine {

// The script clingo runs: the settings the script reads, the names of
// primed_names.hpp, block.lua and session.lua.
std::string sessionScript(const SESSION_CONFIG& config);

// Starts clingo with s.script and waits for the script to be ready.
void startClingo(SESSION& s);

[[noreturn]] void clingoFailed(SESSION& s, const std::string& why);

// The next line clingo writes.
std::string replyOf(SESSION& s);

// Reads clingo's reply to a command that it answers "ok"; any other reply
// ends the session.
void expectOk(SESSION& s);

// Sends a command; clingo's program may change, and the answers of its
// last solve call are not kept.
void send(SESSION& s, const std::string& text);

// Asks clingo whether it still answers, which changes nothing: a step that
// tells clingo nothing learns at the same point as any other that clingo
// has gone.
void expectAlive(SESSION& s);

// Adds a program part and grounds it.
void ground(SESSION& s, const std::string& name, const std::string& text);

// Reads the contributions of the ground call of the rules (levels.hpp).
void readContributions(SESSION& s, STEP& step, std::uint32_t call);

// The answer sets of the step, then what solvedLine says (before "done").
void solveStep(SESSION& s, const std::function<bool(std::string_view)>& emit,
               const std::function<std::string()>& solvedLine);

}  // namespace vok::evaluation::engine
