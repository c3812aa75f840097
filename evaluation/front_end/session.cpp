#include "evaluation/front_end/session.hpp"

#include <unistd.h>

#include <charconv>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#include "common/pipe_channel.hpp"
#include "evaluation/front_end/run.hpp"
#include "evaluation/session/engine.hpp"

namespace vok::evaluation {

namespace {

// The answers of a step, on standard output.
bool writeOut(std::string_view text) { return WriteAll(1, text); }

void complain(FILE_FORM form, const std::string& message) {
    const std::string line = ProgramName(form) + ": " + message + "\n";
    if (::write(2, line.data(), line.size()) < 0) return;
}

// "WORD N": N, or false.
bool countAfter(std::string_view line, std::string_view word, std::size_t& n) {
    if (!line.starts_with(word) || line.size() <= word.size() || line[word.size()] != ' ')
        return false;
    const char* first = line.data() + word.size() + 1;
    const char* last = line.data() + line.size();
    auto [end, ec] = std::from_chars(first, last, n);
    return ec == std::errc() && end == last && first != last;
}

// The programs of the next step; false at the end of the input. Throws a
// message for input that is not a step.
bool readStep(LINE_READER& in, std::vector<std::string>& programs) {
    std::string line;
    if (!ReadLine(in, line)) return false;
    std::size_t count = 0;
    if (!countAfter(line, "step", count))
        throw std::string("expected \"step COUNT\", not \"" + line.substr(0, 60) + "\"");
    programs.assign(count, std::string());
    for (std::string& text : programs) {
        std::size_t bytes = 0;
        if (!ReadLine(in, line) || !countAfter(line, "program", bytes))
            throw std::string("expected \"program BYTES\"");
        if (!ReadBytes(in, bytes, text)) throw std::string("the input ended inside a program");
    }
    return true;
}

}  // namespace

int RunSession(FILE_FORM form, const OPTIONS& options) {
    SESSION_CONFIG config;
    config.form = form;
    config.minimal = options.minimal;
    config.explain = options.explain;
    config.verbose = options.verbose;
    config.maxModels = options.maxModels;
    config.maxint = options.maxint;
    config.clingo = options.clingo;
    config.clingoOptions = options.clingoOptions;
    SESSION_PTR session;
    try {
        session = StartSession(config);
    } catch (const SESSION_FAILED& e) {
        complain(form, e.what());
        return ExitSolverFailed;
    }
    LINE_READER in;  // standard input; a last line without a line end counts
    in.fd = 0;
    std::vector<std::string> programs;
    for (;;) {
        try {
            if (!readStep(in, programs)) break;
        } catch (const std::string& message) {
            complain(form, "the session's input is no step: " + message);
            return ExitBadProgram;
        }
        try {
            SessionStep(*session, programs, writeOut);
        } catch (const SESSION_REFUSED& e) {
            if (!writeOut("refused " + std::string(e.what()) + "\n")) return ExitSolverFailed;
        } catch (const SESSION_FAILED& e) {
            complain(form, e.what());
            return ExitSolverFailed;
        } catch (const std::exception& e) {
            complain(form, std::string("the session failed: ") + e.what());
            return ExitSolverFailed;
        }
    }
    if (!EndSession(*session)) {
        complain(form, "clingo did not end well");
        return ExitSolverFailed;
    }
    return ExitFinished;
}

}  // namespace vok::evaluation
