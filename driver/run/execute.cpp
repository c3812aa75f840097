// Running the evaluation program on a program file, and the output filter
// that turns its answer sets back into the input's vocabulary.
//
// The solver's output is read line by line, whatever the length of a line.
// Text outside answer sets is copied unchanged. An answer set begins with a
// line whose first character is "{" and ends at the first "}" outside a
// quoted string, possibly some lines later. Each of its atoms is read once
// (answer_atom.hpp) and printed with "," between its arguments and no
// blanks; quoted strings are kept exactly as printed.
#include "execute.hpp"

#include <iostream>
#include <optional>
#include <string_view>

#include "base/exits.hpp"
#include "common/contract.hpp"
#include "driver/output/answer_atom.hpp"
#include "driver/output/answers.hpp"
#include "driver/output/explain.hpp"
#include "driver/output/goal.hpp"
#include "driver/output/summary.hpp"
#include "driver/run/candidate.hpp"
#include "driver/run/evaluate.hpp"
#include "driver/run/limits.hpp"
#include "driver/show.hpp"
#include "representation/rule.hpp"
#include "rewriting/auxiliary.hpp"

namespace {

// pexa reads propositional programs only; the run stops before starting it.
void refuseFirstOrderForPexa(const RUN_SETTINGS& settings, const SEQUENCE& sequence,
                             const std::string& file) {
    if (settings.programType != PROGRAM_TYPE::PEXA || sequence.propositional) return;
    std::cerr << "Sorry, PEXA cannot process first order programs!"
              << " Aborting." << std::endl;
    RemoveUnlessStored(settings, file);
    throw END_OF_RUN{1};
}

}  // namespace

int ExecuteProgram(const RUN_SETTINGS& settings, const RUN_STATE& run, std::string program,
                   std::string options, std::string file, GOAL_ANSWER& goal) {
    refuseFirstOrderForPexa(settings, run.sequence, file);
    // The options as given go on to the candidate tests, which add their
    // own limits. Every line goes through the filter, until vok's own
    // limit of answer sets is reached.
    OUTPUT_FILTER filter(settings, run, {program, options, file}, goal);
    const EVALUATION_END end =
        RunEvaluation(settings, program, options, file, false, [&](std::string_view line) {
            return NoteOutcomeLine(settings, line, false) || filter.take(line);
        });
    if (end.stopped) {
        // Its answer sets are no longer wanted, whatever it would end with.
        ReportOwnLimitReached(settings);
        RemoveUnlessStored(settings, file);
        return 0;
    }
    return filter.finish(end.code);
}

void OUTPUT_FILTER::beginAnswerSet() {
    inAnswerSet_ = true;
    matches_.clear();
    answer_.atoms.clear();
    answer_.rejected.reset();
    candidateRules_.clear();
    trace_.clear();
    ++candidates_;
    reader_ = ANSWER_READER();
}

// Drops an atom of an auxiliary predicate, turns a rejection atom into
// candidate rules when candidates are tested, and adds any other atom to
// the answer set if it is shown; the goal sees every one.
void OUTPUT_FILTER::judgeAtom(ANSWER_ATOM& atom) {
    // The registries hold strong negation in the input's form, "-p".
    if (settings_.programType == PROGRAM_TYPE::PEXA && IsPexaNegation(atom.name()))
        atom.renameStart(PexaNegationPrefix.size(), "-");
    const VERDICT& verdict = verdictOn(atom);
    if (verdict.auxiliary && settings_.explain) trace_.note(atom);
    if (verdict.rejection) {
        AddCandidateRules(settings_, atom, candidateRules_);
        return;
    }
    if (verdict.auxiliary) return;
    if (verdict.shown) answer_.atoms.add(atom.text);
    if (settings_.brave || settings_.cautious) NoteGoalAtom(goal_, atom, matches_);
}

const OUTPUT_FILTER::VERDICT& OUTPUT_FILTER::verdictOn(const ANSWER_ATOM& atom) {
    const std::string_view name = atom.name();
    if (last_.known && last_.arity == atom.argCount() && last_.name == name) return last_;
    last_.name.assign(name);
    last_.arity = atom.argCount();
    last_.known = true;
    last_.auxiliary = updatePredicates.contains(name) || minimalPredicates.contains(name);
    // With --one-run the evaluation program prints only minimal answer sets.
    last_.rejection = last_.auxiliary && settings_.testsCandidates() && IsRejectionPredicate(name);
    last_.shown = run_.shown.shows(name, last_.arity);
    return last_;
}

// An answer set that stands is written, and it may answer the goal.
void OUTPUT_FILTER::endAnswerSet(bool lineEnded) {
    inAnswerSet_ = false;
    if (settings_.testsCandidates() &&
        !TestCandidate(settings_, run_.translation, candidates_, candidateRules_, call_.program,
                       call_.options, call_.file))
        return;
    answer_.lineEnded = lineEnded;
    if (settings_.explain) answer_.rejected = ExplainAnswerSet(trace_, run_.sequence);
    WriteAnswer(answer_);
    if (settings_.brave || settings_.cautious) RecordForGoal(answer_, matches_, goal_);
    const std::size_t limit = OwnAnswerSetLimit(settings_);
    enough_ = limit && RunSummary().models >= limit;
}

bool OUTPUT_FILTER::take(std::string_view chunk) {
    if (!inAnswerSet_) {
        if (chunk.empty() || chunk[0] != '{') {
            std::cout << chunk;
            return true;
        }
        beginAnswerSet();
    }
    // What follows the closing "}" on its line belongs to no answer set.
    if (readAnswerAtoms(reader_, chunk, [&](ANSWER_ATOM& atom) { judgeAtom(atom); }))
        endAnswerSet(chunk.back() == '\n');
    return !enough_;
}

int OUTPUT_FILTER::finish(int code) {
    if (!inAnswerSet_) return code;
    inAnswerSet_ = false;
    RunSummary().error = "the output of the evaluation program ended inside answer set " +
                         std::to_string(candidates_);
    std::cout.flush();
    std::cerr << "Answer set " << candidates_
              << " is incomplete: the output of the evaluation program ended inside it."
              << std::endl;
    return code == 0 ? 1 : code;
}
