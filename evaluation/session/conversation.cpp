// The conversation with the session's clingo (conversation.hpp).
#include "evaluation/session/conversation.hpp"

#include <sys/wait.h>

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <vector>

#include "evaluation/clingo/names.hpp"
#include "evaluation/clingo/one_run.hpp"
#include "evaluation/session/levels.hpp"
#include "evaluation/session/literals.hpp"
#include "evaluation/session/primed_names.hpp"
#include "evaluation/solve/answer_sets.hpp"

namespace vok::evaluation::engine {

[[noreturn]] void clingoFailed(SESSION& s, const std::string& why) {
    StopSessionClingo(s.clingo, true);
    throw SESSION_FAILED(why);
}

namespace {

// clingo went away (killed, or ended by a signal it caught, such as
// SIGTERM while it grounds): how it ended is the reason.
[[noreturn]] void clingoEnded(SESSION& s) { throw SESSION_FAILED(SessionClingoEnd(s.clingo)); }

// clingo's result line, which it writes only once the script is over, on
// its way out; no reply of the script's reads so (names and constants of
// atoms begin in lower case, those of the script with "m ", "r ", ...).
bool isResultLine(std::string_view line) {
    return line == "UNKNOWN" || line == "SATISFIABLE" || line == "UNSATISFIABLE" ||
           line == "OPTIMUM FOUND";
}

}  // namespace

std::string replyOf(SESSION& s) {
    std::string line;
    if (!ReadChannelLine(s.clingo, line) || isResultLine(line)) clingoEnded(s);
    if (line.starts_with("error ")) clingoFailed(s, "clingo: " + line.substr(6));
    return line;
}

void expectOk(SESSION& s) {
    if (replyOf(s) != "ok") clingoFailed(s, "clingo answered out of turn");
}

void send(SESSION& s, const std::string& text) {
    s.lastSolve.valid = false;
    if (!WriteToChannel(s.clingo, text)) clingoEnded(s);
}

void expectAlive(SESSION& s) {
    if (!WriteToChannel(s.clingo, "alive\n")) clingoEnded(s);
    expectOk(s);
}

namespace {

// The statements of a part that make later ground calls slower: rules and
// externals (facts do not).
std::size_t heavyStatements(std::string_view text) {
    std::size_t n = 0;
    for (std::size_t at = 0; (at = text.find(":-", at)) != std::string_view::npos; at += 2) ++n;
    for (std::size_t at = 0; (at = text.find("#external", at)) != std::string_view::npos; at += 9)
        ++n;
    return n;
}

}  // namespace

void ground(SESSION& s, const std::string& name, const std::string& text) {
    s.paidStatements += s.addedStatements - std::min(s.addedStatements, s.scratchStatements);
    s.addedStatements += heavyStatements(text);
    send(s, "add " + name + " " + number(text.size()) + "\n" + text);
    expectOk(s);
}

std::string sessionScript(const SESSION_CONFIG& config) {
    const char* minimal = config.minimal == MINIMALITY::STRICT ? "strict"
                          : config.minimal == MINIMALITY::MIN  ? "min"
                                                               : "none";
    // "#show." first: clingo shows the atoms of the signatures the session
    // shows and no others, even in a step before any is shown, where it
    // would otherwise show every atom, the auxiliary ones among them.
    return "#show.\n#script (lua)\nlocal minimal = \"" + std::string(minimal) +
           "\"\nlocal limit = " + number(config.maxModels) +
           "\nlocal explain = " + (config.explain ? "true" : "false") +
           "\nlocal clingo_prints = " + (clingoPrints(config) ? "true" : "false") + "\n" +
           primedNamesLua() + std::string(MinimalSearchLua) + std::string(SessionLua) + "#end.\n";
}

void startClingo(SESSION& s) {
    s.lastSolve.valid = false;
    std::vector<std::string> args{"--warn=none"};
    args.insert(args.end(), s.config.clingoOptions.begin(), s.config.clingoOptions.end());
    if (s.config.minimal != MINIMALITY::NONE) args.push_back("--heuristic=Domain");
    if (clingoPrints(s.config)) args.insert(args.end(), {"--outf=0", "--verbose=1"});
    else args.insert(args.end(), {"--outf=3", "--verbose=0"});
    args.push_back("/dev/fd/3");
    std::string error = StartSessionClingo(s.config.clingo, args, s.script, s.clingo);
    if (!error.empty()) throw SESSION_FAILED(error);
    // clingo's own first lines (its version, what it reads) come before
    // the script's.
    std::string line;
    bool read;
    while ((read = ReadChannelLine(s.clingo, line)) && line != "ready" &&
           !line.starts_with("error ")) {
    }
    if (!read) {
        const int status = StopSessionClingo(s.clingo, false);
        throw SESSION_FAILED(
            "clingo \"" + s.config.clingo + "\" did not start the session" +
            (WIFEXITED(status)
                 ? " (status " + number(static_cast<std::uint64_t>(WEXITSTATUS(status))) + ")"
                 : std::string()));
    }
    if (line != "ready")
        clingoFailed(s, line.starts_with("error ") ? "clingo: " + line.substr(6) : line);
}

namespace {

// A number of a line of clingo's, up to 2^32 - 1.
std::uint32_t numberIn(SESSION& s, std::string_view text, const std::string& line) {
    std::uint32_t n = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), n);
    if (error != std::errc() || end != text.data() + text.size() || text.empty())
        clingoFailed(s, "clingo listed a contribution oddly: " + line);
    return n;
}

}  // namespace

void readContributions(SESSION& s, STEP& step, std::uint32_t call) {
    send(s, "contributions " + std::string(primed(PRIMED::CONTRIBUTES)) + number(call) + "\n");
    std::string line;
    for (;;) {
        line = replyOf(s);
        if (line == "end") break;
        // K J NEG ARITY NAME H
        std::string_view field[6];
        std::size_t pos = 0;
        for (std::size_t i = 0; i < 5; ++i) {
            const std::size_t blank = line.find(' ', pos);
            if (blank == std::string::npos)
                clingoFailed(s, "clingo listed a contribution oddly: " + line);
            field[i] = std::string_view(line).substr(pos, blank - pos);
            pos = blank + 1;
        }
        field[5] = std::string_view(line).substr(pos);
        SIGN sign;
        sign.negative = field[2] == "1";
        sign.arity = numberIn(s, field[3], line);
        sign.name = field[4];
        sign.key = signKey(sign.negative, sign.name, sign.arity);
        takeContribution(s, step, call, numberIn(s, field[0], line), numberIn(s, field[1], line),
                         sign, field[5]);
    }
}

namespace {

// The answer set clingo printed, in the file's notation, sorted. A pexa
// program is propositional: its atoms are names, "-p" written "NEG_p".
std::string answerSetLine(const SESSION& s, std::string_view atoms) {
    if (s.config.form != FILE_FORM::PEXA) return formatAnswerSet(atoms) + "\n";
    std::vector<std::string> names;
    while (!atoms.empty()) {
        const std::size_t blank = atoms.find(' ');
        const std::string_view atom = atoms.substr(0, blank);
        if (!atom.empty()) {
            const bool negative = atom.starts_with('-');
            names.push_back((negative ? std::string(PexaNegationPrefix) : "") +
                            decodePredicate(atom.substr(negative ? 1 : 0)));
        }
        if (blank == std::string_view::npos) break;
        atoms.remove_prefix(blank + 1);
    }
    std::sort(names.begin(), names.end());
    std::string line = "{";
    for (std::size_t i = 0; i < names.size(); ++i) line += (i ? ", " : "") + names[i];
    return line + "}\n";
}

}  // namespace

void solveStep(SESSION& s, const std::function<bool(std::string_view)>& emit,
               const std::function<std::string()>& solvedLine) {
    if (s.lastSolve.valid) {
        // clingo's program is the one it last solved: its answers again.
        if (!emit(s.lastSolve.lines + solvedLine() +
                  DoneLine({s.lastSolve.count, s.lastSolve.exhausted})))
            throw SESSION_FAILED("cannot write the answer sets");
        return;
    }
    send(s, "solve " + number(s.programs.empty() ? 0 : s.programs.size() - 1) + " " +
                number(s.steps) + "\n");
    std::string out, line;
    // The answers are kept for the next step only when they fit in one
    // write: a step with more answer sets than that solves again.
    bool keep = s.maintained != nullptr;
    for (;;) {
        line = replyOf(s);
        if (line.starts_with("m ")) {
            out += answerSetLine(s, std::string_view(line).substr(2));
        } else if (line.starts_with("Answer: ")) {
            // clingo's own output: the answer set is the next line.
            out += answerSetLine(s, replyOf(s));
        } else if (line == "Solving...") {
        } else if (line.starts_with("r ")) {
            // r K J BY N, then N values
            unsigned long k = 0, j = 0, by = 0, n = 0;
            if (std::sscanf(line.c_str(), "r %lu %lu %lu %lu", &k, &j, &by, &n) != 4)
                clingoFailed(s, "clingo listed a rejection oddly: " + line);
            std::vector<std::string> values;
            for (unsigned long v = 0; v < n; ++v) values.push_back(termNotation(replyOf(s)));
            out += RejectedLine(static_cast<unsigned>(k), static_cast<unsigned>(j),
                                static_cast<unsigned>(by), values);
        } else if (line.starts_with("done ")) {
            unsigned long count = 0, exhausted = 0;
            std::sscanf(line.c_str(), "done %lu %lu", &count, &exhausted);
            if (keep) s.lastSolve = {true, out, count, exhausted != 0};
            out += solvedLine();
            out += DoneLine({count, exhausted != 0});
            break;
        } else {
            clingoFailed(s, "clingo answered out of turn: " + line);
        }
        if (out.size() >= (1u << 16)) {
            if (!emit(out)) throw SESSION_FAILED("cannot write the answer sets");
            out.clear();
            keep = false;
        }
    }
    if (!emit(out)) throw SESSION_FAILED("cannot write the answer sets");
}

}  // namespace vok::evaluation::engine
