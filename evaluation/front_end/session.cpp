#include "evaluation/front_end/session.hpp"

#include <unistd.h>

#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#include "common/contract.hpp"
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

// A front end that names the form of its programs is told this program's
// own, so that it can stop before every program it writes is refused.
// False when the answer cannot be written.
bool answerForm(FILE_FORM form) {
    return writeOut(FormLine(form == FILE_FORM::PEXA ? PexaForm : RoxForm));
}

// The programs of the next step; false at the end of the input. Throws a
// message for input that is not a step, and SESSION_FAILED when the answer
// to a "form" line cannot be written.
bool readStep(FILE_FORM form, LINE_READER& in, std::vector<std::string>& programs) {
    std::string line;
    for (;;) {
        if (!ReadLine(in, line)) return false;
        if (!ReadFormLine(line)) break;
        if (!answerForm(form)) throw SESSION_FAILED("cannot write the answers");
    }
    const std::optional<std::size_t> count = ReadStepLine(line);
    if (!count) throw std::string("expected \"step COUNT\", not \"" + line.substr(0, 60) + "\"");
    // Each program is kept as it comes: the count alone is no reason to
    // make room, as it may be any number.
    programs.clear();
    for (std::size_t p = 0; p < *count; ++p) {
        std::optional<std::size_t> bytes;
        if (!ReadLine(in, line) || !(bytes = ReadProgramLine(line)))
            throw std::string("expected \"program BYTES\"");
        std::string text;
        if (!ReadBytes(in, *bytes, text)) throw std::string("the input ended inside a program");
        programs.push_back(std::move(text));
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
            if (!readStep(form, in, programs)) break;
        } catch (const std::string& message) {
            complain(form, "the session's input is no step: " + message);
            return ExitBadProgram;
        } catch (const SESSION_FAILED& e) {
            complain(form, e.what());
            return ExitSolverFailed;
        }
        try {
            SessionStep(*session, programs, writeOut);
        } catch (const SESSION_REFUSED& e) {
            if (!writeOut(e.what())) return ExitSolverFailed;
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
