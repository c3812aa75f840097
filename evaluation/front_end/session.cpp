#include "evaluation/front_end/session.hpp"

#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#include "evaluation/front_end/run.hpp"
#include "evaluation/session/engine.hpp"

namespace vok::evaluation {

namespace {

// Standard input, read in chunks: lines and runs of bytes.
struct INPUT {
    std::string buffer;
    std::size_t taken = 0;
    bool ended = false;

    // Reads more; false at the end of the input.
    bool fill() {
        if (ended) return false;
        buffer.erase(0, taken);
        taken = 0;
        char chunk[1 << 16];
        for (;;) {
            ssize_t r = ::read(0, chunk, sizeof chunk);
            if (r < 0 && errno == EINTR) continue;
            if (r <= 0) {
                ended = true;
                return false;
            }
            buffer.append(chunk, static_cast<std::size_t>(r));
            return true;
        }
    }
    // The next line without its line end; false at the end of the input
    // (a last line without a line end counts).
    bool line(std::string& out) {
        for (;;) {
            const std::size_t end = buffer.find('\n', taken);
            if (end != std::string::npos) {
                out.assign(buffer, taken, end - taken);
                taken = end + 1;
                return true;
            }
            if (!fill()) {
                if (taken >= buffer.size()) return false;
                out.assign(buffer, taken);
                taken = buffer.size();
                return true;
            }
        }
    }
    bool bytes(std::size_t n, std::string& out) {
        while (buffer.size() - taken < n)
            if (!fill()) return false;
        out.assign(buffer, taken, n);
        taken += n;
        return true;
    }
};

bool writeOut(std::string_view text) {
    while (!text.empty()) {
        ssize_t w = ::write(1, text.data(), text.size());
        if (w < 0 && errno == EINTR) continue;
        if (w <= 0) return false;
        text.remove_prefix(static_cast<std::size_t>(w));
    }
    return true;
}

void complain(FILE_FORM form, const std::string& message) {
    const std::string line = ProgramName(form) + ": " + message + "\n";
    if (::write(2, line.data(), line.size()) < 0) return;
}

// The programs of the next step; false at the end of the input. Throws a
// message for input that is not a step.
bool readStep(INPUT& in, std::vector<std::string>& programs) {
    std::string line;
    if (!in.line(line)) return false;
    const std::optional<std::size_t> count = ReadStepLine(line);
    if (!count) throw std::string("expected \"step COUNT\", not \"" + line.substr(0, 60) + "\"");
    // Each program is kept as it comes: the count alone is no reason to
    // make room, as it may be any number.
    programs.clear();
    for (std::size_t p = 0; p < *count; ++p) {
        std::optional<std::size_t> bytes;
        if (!in.line(line) || !(bytes = ReadProgramLine(line)))
            throw std::string("expected \"program BYTES\"");
        std::string text;
        if (!in.bytes(*bytes, text)) throw std::string("the input ended inside a program");
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
    INPUT in;
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
