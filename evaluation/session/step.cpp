// A session's steps: each step's programs read and taken, grounded in the
// running clingo (or in a new one, from scratch, when that is cheaper or
// needed) and solved; and the session's start and end (engine.hpp).
#include <sys/wait.h>

#include <algorithm>
#include <chrono>
#include <cstdio>

#include "evaluation/session/conversation.hpp"
#include "evaluation/session/encoding.hpp"
#include "evaluation/session/engine.hpp"
#include "evaluation/session/keep.hpp"
#include "evaluation/session/levels.hpp"
#include "evaluation/session/literals.hpp"
#include "evaluation/session/primed_names.hpp"
#include "evaluation/session/state.hpp"
#include "evaluation/session/take.hpp"
#include "evaluation/solve/solver.hpp"

namespace vok::evaluation {

namespace engine {

namespace {

void clearStepMarks(SESSION& s, STEP& step) {
    for (std::uint32_t id : step.newFinals) s.literals[id].finalNew = false;
}

// Why a sequence is grounded at once after its first step, if it is: an
// aggregate or a choice reads what every step contributes.
std::string groundedAtOnce(const SESSION& s) {
    if (s.calls == 0) return {};
    if (s.aggregates)
        return "an aggregate counts the atoms of every step, which it sees grounded at once";
    if (s.choices)
        return "a choice is weighed against the contributions of every step, grounded at once";
    return {};
}

// Grounds the step: the rules with the facts they need, then the link.
// Empty when done, otherwise why it must be done again from scratch.
std::string groundStep(SESSION& s, STEP& step) {
    // A sequence grounded at once is grounded again from scratch by a step
    // that gives clingo anything, new truths of its externals included (an
    // aggregate grounded over them counts those it saw); one that gives it
    // nothing leaves what an aggregate counts and what a choice is weighed
    // against as they were.
    const std::string atOnce = groundedAtOnce(s);
    const std::uint32_t rulesCall = ++s.calls;
    // A step whose changes the maintained part takes in whole gives clingo
    // no rules: no part is added (each one, even empty, slows clingo's
    // later calls), and nothing can contribute.
    const std::string rules = rulesPart(s, step, rulesCall);
    if (!atOnce.empty() && (!rules.empty() || !step.assignments.empty())) return atOnce;
    if (rules.empty()) {
        expectAlive(s);
    } else {
        ground(s, std::string(primed(PRIMED::RULES_CALL)) + number(rulesCall), rules);
    }
    if (!step.assignments.empty()) {
        send(s, "assign " + number(step.assignments.size()) + "\n" + step.assignments);
        expectOk(s);
    }
    if (!rules.empty()) readContributions(s, step, rulesCall);
    if (!step.rebuild.empty()) return step.rebuild;
    const std::uint32_t linkCall = ++s.calls;
    std::string levelsChanged;
    const std::string link = linkPart(s, step, rulesCall, linkCall, !rules.empty(), levelsChanged);
    if (!step.rebuild.empty()) return step.rebuild;
    if (!atOnce.empty() && (!link.empty() || !levelsChanged.empty())) return atOnce;
    if (!link.empty()) ground(s, std::string(primed(PRIMED::LINK_CALL)) + number(linkCall), link);
    if (!levelsChanged.empty()) send(s, levelsChanged);
    if (s.config.minimal != MINIMALITY::NONE) {
        const std::string rejections = "rejections " + std::string(primed(PRIMED::REJECTED));
        send(s, rejections + number(rulesCall) + "\n");
        replyOf(s);
        if (!step.lFacts.empty()) {
            send(s, rejections + number(linkCall) + "\n");
            replyOf(s);
        }
    }
    return {};
}

// A new clingo grounds everything at once.
void groundFromScratch(SESSION& s, STEP& step) {
    StopSessionClingo(s.clingo, true);
    s.addedStatements = 0;
    for (SESSION_LITERAL& l : s.literals) {
        l.finalHook = None;
        l.finalNew = false;
        l.chained = false;
        l.firstRecord = None;
        l.handed = false;
    }
    s.records.clear();
    s.levels.clear();
    // The new clingo numbers its calls from 1 again.
    for (SESSION_SIGNATURE& sig : s.signatures.list) {
        sig.shown = false;
        sig.bareCall = None;
    }
    s.calls = 0;
    startClingo(s);
    step.first = 0;
    step.cFacts.clear();
    step.lFacts.clear();
    step.newFinals.clear();
    step.received.clear();
    step.receivedAt.clear();
    step.rebuild.clear();
    step.assignments.clear();
    step.declared = false;
    for (std::uint32_t f = 0; f < s.facts.size(); ++f)
        if (s.literals[s.facts[f].literal].standing == STANDING::DYNAMIC) step.cFacts.push_back(f);
    if (s.maintained) step.handed = handedTruths(s);
    const std::string again = groundStep(s, step);
    if (!again.empty()) clingoFailed(s, "the session cannot ground its program: " + again);
    s.scratchStatements = s.addedStatements;
    s.scratchContributions = step.contributions;
    s.paidStatements = 0;
}

// Why the step is better grounded from scratch: every ground call pays for
// the statements added since the last time, and once the calls have paid
// more for them than grounding the whole sequence again would cost once
// (the rules and what they contribute), a new clingo is cheaper from then
// on. Paid in total rather than per call, a long session of small steps
// grounds again now and then instead of slowing down step by step.
std::string statementsWeigh(const SESSION& s) {
    const std::size_t added = s.addedStatements - std::min(s.addedStatements, s.scratchStatements);
    const std::size_t whole =
        std::max<std::size_t>(4096, 2 * (s.scratchStatements + s.scratchContributions));
    if (s.paidStatements + added <= whole) return {};
    return number(added) +
           " rules and externals given to clingo since it grounded the sequence "
           "from scratch slow every ground call";
}

bool emitBaseChanges(SESSION& s, STEP& step, const std::function<bool(std::string_view)>& emit) {
    std::string out;
    const bool pexa = s.config.form == FILE_FORM::PEXA;
    for (std::uint32_t id : step.touched) {
        SESSION_LITERAL& l = s.literals[id];
        l.touched = false;
        const bool now = l.standing == STANDING::BASE;
        if (now == l.wasBase || s.signatures[l.signature].hidden) continue;
        const std::string atom = fileNotation(l.text);
        std::string pexaAtom;
        if (pexa) AppendPexaName(pexaAtom, atom);
        AppendBaseChangeLine(out, now, pexa ? pexaAtom : atom);
        if (out.size() >= (1u << 16)) {
            if (!emit(out)) return false;
            out.clear();
        }
    }
    return out.empty() || emit(out);
}

double secondsSince(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

std::string seconds(double t) {
    char text[32];
    std::snprintf(text, sizeof text, "%.3f", t);
    return text;
}

}  // namespace

}  // namespace engine

using namespace engine;

void SESSION_END::operator()(SESSION* session) const {
    if (session) StopSessionClingo(session->clingo, true);
    delete session;
}

SESSION_PTR StartSession(const SESSION_CONFIG& config) {
    SESSION_PTR s(new SESSION);
    s->config = config;
    s->script = sessionScript(config);
    if (!rejectionsWanted(config)) s->maintained = std::make_unique<MAINTAINED>();
    StopClingoOnSignals();
    startClingo(*s);
    return s;
}

void SessionStep(SESSION& s, const std::vector<std::string>& programs,
                 const std::function<bool(std::string_view)>& emit) {
    const auto start = std::chrono::steady_clock::now();
    std::vector<READ_PROGRAM> read;
    for (std::size_t i = 0; i < programs.size(); ++i)
        read.push_back(readProgram(programs[i], s.config, i, programs.size(), s.choiceBodies));

    STEP step;
    takePrograms(s, step, read);
    read.clear();
    // A group that left the maintained part is grounded with the sequence.
    std::string again = step.rebuild.empty() ? statementsWeigh(s) : step.rebuild;
    if (again.empty()) {
        again = groundStep(s, step);
        clearStepMarks(s, step);
    }
    if (!again.empty()) {
        if (s.config.verbose && !emit(InfoLine(s.steps, "grounded again from scratch: " + again)))
            throw SESSION_FAILED("cannot write the answer sets");
        groundFromScratch(s, step);
        clearStepMarks(s, step);
    }
    const double grounded = secondsSince(start);
    std::size_t base = 0;
    for (std::uint32_t id : step.touched)
        base += s.literals[id].standing == STANDING::BASE &&
                !s.signatures[s.literals[id].signature].hidden;
    if (!emitBaseChanges(s, step, emit)) throw SESSION_FAILED("cannot write the answer sets");
    if (s.config.verbose &&
        !emit(InfoLine(s.steps, number(programs.size()) +
                                    (programs.size() == 1 ? " program, " : " programs, ") +
                                    number(step.contributions) +
                                    (step.contributions == 1 ? " contribution" : " contributions") +
                                    " grounded, " + number(base) +
                                    (base == 1 ? " literal" : " literals") + " into the base, in " +
                                    seconds(grounded) + " s")))
        throw SESSION_FAILED("cannot write the answer sets");
    const auto solving = std::chrono::steady_clock::now();
    auto solvedLine = [&] {
        return s.config.verbose
                   ? InfoLine(s.steps, "solved in " + seconds(secondsSince(solving)) + " s")
                   : std::string();
    };
    // A literal and its complement both maintained leave no answer set,
    // whatever clingo's part holds.
    if (keptContradiction(s)) {
        if (!emit(solvedLine() + DoneLine({0, true})))
            throw SESSION_FAILED("cannot write the answer sets");
    } else {
        solveStep(s, emit, solvedLine);
    }
    ++s.steps;
}

bool EndSession(SESSION& s) {
    if (s.clingo.pid < 0) return true;
    WriteToChannel(s.clingo, "quit\n");
    // clingo's closing lines, when it prints its own output, are read to
    // their end: it must not stop on a broken pipe.
    std::string line;
    while (ReadChannelLine(s.clingo, line)) {
    }
    const int status = StopSessionClingo(s.clingo, false);
    // clingo's status after a script tells what its last solve call found.
    return WIFEXITED(status) && (WEXITSTATUS(status) == 0 || WEXITSTATUS(status) == 10 ||
                                 WEXITSTATUS(status) == 20 || WEXITSTATUS(status) == 30);
}

}  // namespace vok::evaluation
