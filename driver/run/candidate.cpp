// Candidate rules from the rejection atoms of an answer set, and the test
// program that decides whether the answer set is minimal.
#include "candidate.hpp"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <iostream>
#include <string_view>
#include <vector>

#include "base/exits.hpp"
#include "common/contract.hpp"
#include "driver/output/summary.hpp"
#include "driver/run/evaluate.hpp"
#include "driver/run/limits.hpp"
#include "driver/run/program_file.hpp"
#include "rewriting/auxiliary.hpp"

namespace {

// A printed argument as a term: a token that reads as a non-zero decimal
// number (optional sign, leading digits) or is exactly "0" is an integer;
// anything else, "-0" included, is a constant.
IDENT termOf(std::string_view token) {
    const std::string text(token);
    errno = 0;
    long value = std::strtol(text.c_str(), nullptr, 10);
    // A value beyond the range of integer terms keeps its text, which reads
    // and prints as the number it is.
    bool fits = errno == 0 && value >= IDENT::MinInteger && value <= IDENT::MaxInteger;
    if ((value != 0 && fits) || text == "0") return IDENT(IDENT::INTEGER, static_cast<int>(value));
    return IDENT(IDENT::CONSTANT, checkedNumber(IDENT::Constants.insert(text).first));
}

void addCandidateRule(const RUN_SETTINGS& settings, RULES& rules, RULE rule) {
    if (settings.debug) {
        std::cerr << "Added minimaltiy (strictness) rule ";
        PrintRule(std::cerr, rule, settings.notation());
        std::cerr << "to the current model's rules." << std::endl;
    }
    rules.push_back(std::move(rule));
}

ATOM proposition(const std::string& name) { return ATOM(name, std::nullopt, PREDICATE_NAMES::IDB); }

// A test that would begin after the time limit is not begun: the run ends
// as a run of the evaluation program ends at its limit.
void stopWhenTimeIsUp(const RUN_SETTINGS& settings) {
    if (!TimeIsUp(settings)) return;
    RunSummary().error = TimeLimitReason(settings);
    RunSummary().more = true;
    std::cout.flush();
    std::cerr << "Time limit of " << settings.timeLimit << " s reached before solving finished."
              << " Aborting ..." << std::endl;
    throw END_OF_RUN{TimeLimitStatus};
}

// Why a test run failed, for --stats: the time limit once it has passed
// (the test had only what remained of it; more answer sets may exist),
// else what the test said.
std::string testFailure(const RUN_SETTINGS& settings, int status) {
    if (TimeIsUp(settings)) {
        RunSummary().more = true;
        return TimeLimitReason(settings);
    }
    const std::string& reason = RunSummary().testReason;
    if (!reason.empty()) return reason;
    return "a candidate test ended with status " + std::to_string(status);
}

}  // namespace

void AddCandidateRules(const RUN_SETTINGS& settings, const ANSWER_ATOM& printed, RULES& rules) {
    if (!printed.listed) {
        AddModelRules(settings, ATOM(printed.name(), std::nullopt, PREDICATE_NAMES::IDB), rules);
        return;
    }
    std::vector<IDENT> terms;
    terms.reserve(printed.argCount());
    for (std::size_t i = 0; i < printed.argCount(); ++i) terms.push_back(termOf(printed.arg(i)));
    AddModelRules(settings, ATOM(printed.name(), ARGUMENTS(terms), PREDICATE_NAMES::IDB), rules);
}

void AddModelRules(const RUN_SETTINGS& settings, const ATOM& atom, RULES& rules) {
    const std::string r = atom.name();
    if (!IsRejectionPredicate(r) || atom.hasVariable()) return;

    // ok :- not a.   or, with -strict,   ok_PL :- eq_P(L+1)_R0, not a.
    HEAD head;
    BODY body;
    if (settings.strict) {
        unsigned level = RejectionLevel(r);
        head.add(proposition(OkPredicateAt(level)));
        body.add(LITERAL(proposition(EqualityPredicate(level + 1, 0)), false));
    } else {
        head.add(proposition(OkPredicateName()));
    }
    body.add(LITERAL(atom, true));
    addCandidateRule(settings, rules, RULE(std::move(head), std::move(body)));

    // mrej(c1, ..., ck) :- is_true.
    unsigned arity = ATOM::Predicates.arity(atom.predicate);
    HEAD model(ATOM(ModelPredicate(r, arity), atom.args, PREDICATE_NAMES::IDB));
    BODY truth;
    truth.add(LITERAL(proposition(TruthPredicateName()), false));
    addCandidateRule(settings, rules, RULE(std::move(model), std::move(truth)));
}

bool TestCandidate(const RUN_SETTINGS& settings, const TRANSLATION& translation, unsigned n,
                   const RULES& rules, std::string program, std::string options, std::string file) {
    stopWhenTimeIsUp(settings);
    const char* strict = settings.strict ? "strict " : "";
    if (settings.verbose)
        std::cout << "Testing candidate " << n << " for " << strict << "minimality using "
                  << rules.size() << " additional minimality rules ..." << std::endl;
    if (settings.debug) {
        std::cerr << "\nThe following additional candidate minimality rules "
                  << "have been introduced: \n";
        PrintList(std::cerr, rules, "\n", settings.notation());
        std::cerr << "\n" << std::endl;
    }

    std::string testFile = TestFileName(file, n);
    // Next to a temporary main file the test file is temporary too: created
    // exclusively, so that nothing planted under its name is written through.
    if (!settings.store && !CreateExclusiveFile(testFile)) {
        std::cerr << "Could not open file " << testFile << ". Aborting." << std::endl;
        throw END_OF_RUN{1};
    }
    AnnounceStoring(settings, testFile);
    StoreToFile(translation, testFile, PROGRAM_FILE::INTEGRAL, &rules);

    ++RunSummary().tested;
    RunSummary().testReason.clear();
    const auto [status, found] = RunTestProgram(settings, program, options, testFile);
    if (status != 0) {
        RunSummary().error = testFailure(settings, status);
        std::cerr << "Candidate evaluation failed. Aborting ..." << std::endl;
        throw END_OF_RUN{status};
    }
    if (settings.verbose)
        std::cout << "Candidate " << n << " is " << (found ? "not " : "") << strict << "minimal."
                  << std::endl;
    return !found;
}

TEST_RUN RunTestProgram(const RUN_SETTINGS& settings, const std::string& program,
                        const std::string& options, const std::string& file) {
    TEST_RUN test;
    test.status = RunEvaluation(settings, program, options, file, true, [&](std::string_view line) {
                      if (line[0] == '{') test.found = true;
                      else NoteOutcomeLine(settings, line, true);
                      return true;
                  }).code;
    return test;
}
