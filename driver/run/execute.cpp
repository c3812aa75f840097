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
#include "common/never_destroyed.hpp"
#include "driver/output/answer_atom.hpp"
#include "driver/output/answers.hpp"
#include "driver/output/explain.hpp"
#include "driver/output/goal.hpp"
#include "driver/output/show.hpp"
#include "driver/output/summary.hpp"
#include "driver/run/candidate.hpp"
#include "driver/run/evaluate.hpp"
#include "driver/run/limits.hpp"
#include "representation/rule.hpp"
#include "rewriting/auxiliary.hpp"

namespace {

// What the filter carries from one line to the next, for the whole run.
struct FILTER_STATE {
    bool doFilter = false;    // inside an answer set
    bool doMinTests = false;  // answer sets are candidates of the minimality test
    GOAL_MATCHES matches;     // what the answer set's atoms gave the goal
    unsigned candNum = 0;     // answer sets begun so far, counted across the run
    ANSWER answer;            // the answer set being read, without auxiliary atoms
    RULES candRules;          // rules from the rejection atoms of the answer set
    ANSWER_READER reader;
    ANSWER_TRACE trace;   // with --explain: its auxiliary atoms
    bool enough = false;  // vok's own limit of answer sets is reached: no more are read
};

FILTER_STATE& filterState() {
    static NEVER_DESTROYED<FILTER_STATE> state;
    return state.get();
}

void beginAnswerSet(FILTER_STATE& s, const RUN_SETTINGS& settings) {
    s.doFilter = true;
    // With --one-run the evaluation program prints only minimal answer sets.
    s.doMinTests = settings.testsCandidates();
    s.matches.clear();
    s.answer.atoms.clear();
    s.answer.rejected.reset();
    s.candRules.clear();
    s.trace.clear();
    ++s.candNum;
    s.reader = ANSWER_READER();
}

// Drops an atom of an auxiliary predicate, turns a rejection atom into
// candidate rules when candidates are tested, and adds any other atom to
// the answer set if --show shows it; the goal sees every one.
void judgeAtom(FILTER_STATE& s, const RUN_SETTINGS& settings, ANSWER_ATOM& atom,
               const GOAL_ANSWER& goal) {
    // The registries hold strong negation in the input's form, "-p".
    if (settings.programType == PROGRAM_TYPE::PEXA && IsPexaNegation(atom.name()))
        atom.renameStart(PexaNegationPrefix.size(), "-");
    const std::string_view name = atom.name();
    const bool auxiliary = updatePredicates.contains(name) || minimalPredicates.contains(name);
    const bool rejection = auxiliary && s.doMinTests && IsRejectionPredicate(name);
    if (auxiliary && settings.explain) s.trace.note(atom);
    if (auxiliary && !rejection) return;

    if (rejection) {
        AddCandidateRules(settings, atom, s.candRules);
        return;
    }
    if (IsShown(atom)) s.answer.atoms.add(atom.text);
    if (settings.brave || settings.cautious) NoteGoalAtom(goal, atom, s.matches);
}

// pexa reads propositional programs only; the run stops before starting it.
void refuseFirstOrderForPexa(const RUN_SETTINGS& settings, const SEQUENCE& sequence,
                             const std::string& file) {
    if (settings.programType != PROGRAM_TYPE::PEXA || sequence.propositional) return;
    std::cerr << "Sorry, PEXA cannot process first order programs!"
              << " Aborting." << std::endl;
    RemoveUnlessStored(settings, file);
    throw END_OF_RUN{1};
}

// Reads the atoms of one line of an answer set; true when the set ends in
// it. What follows the closing "}" on its line belongs to no answer set.
bool readAtoms(FILTER_STATE& s, const RUN_SETTINGS& settings, std::string_view line,
               const GOAL_ANSWER& goal) {
    return readAnswerAtoms(s.reader, line,
                           [&](ANSWER_ATOM& atom) { judgeAtom(s, settings, atom, goal); });
}

// An answer set that stands is written, and it may answer the goal.
void endAnswerSet(FILTER_STATE& s, const RUN_SETTINGS& settings, const RUN_STATE& run,
                  bool lineEnded, const std::string& program, const std::string& options,
                  const std::string& file, GOAL_ANSWER& goal) {
    s.doFilter = false;
    if (s.doMinTests &&
        !TestCandidate(settings, run.translation, s.candNum, s.candRules, program, options, file))
        return;
    ANSWER& answer = s.answer;
    answer.lineEnded = lineEnded;
    if (settings.explain) answer.rejected = ExplainAnswerSet(s.trace, run.sequence);
    WriteAnswer(answer);
    if (settings.brave || settings.cautious) RecordForGoal(answer, s.matches, goal);
    const std::size_t limit = OwnAnswerSetLimit(settings);
    s.enough = limit && RunSummary().models >= limit;
}

// An answer set still open when the output ends was cut short: it is
// neither printed nor tested, and a run that lost it is no success.
int reportCutAnswerSet(int code) {
    FILTER_STATE& s = filterState();
    if (!s.doFilter) return code;
    s.doFilter = false;
    RunSummary().error =
        "the output of the evaluation program ended inside answer set " + std::to_string(s.candNum);
    std::cout.flush();
    std::cerr << "Answer set " << s.candNum
              << " is incomplete: the output of the evaluation program ended inside it."
              << std::endl;
    return code == 0 ? 1 : code;
}

}  // namespace

int ExecuteProgram(const RUN_SETTINGS& settings, const RUN_STATE& run, std::string program,
                   std::string options, std::string file, GOAL_ANSWER& goal) {
    refuseFirstOrderForPexa(settings, run.sequence, file);
    filterState().enough = false;
    // The options as given go on to the candidate tests, which add their
    // own limits. Every line goes through the filter, until vok's own
    // limit of answer sets is reached.
    const EVALUATION_END end =
        RunEvaluation(settings, program, options, file, false, [&](std::string_view line) {
            if (NoteOutcomeLine(settings, line, false)) return true;
            return OutputFilter(settings, run, std::string(line), program, options, file, goal);
        });
    if (end.stopped) {
        // Its answer sets are no longer wanted, whatever it would end with.
        ReportOwnLimitReached(settings);
        RemoveUnlessStored(settings, file);
        return 0;
    }
    return reportCutAnswerSet(end.code);
}

bool OutputFilter(const RUN_SETTINGS& settings, const RUN_STATE& run, std::string chunk,
                  std::string program, std::string options, std::string file, GOAL_ANSWER& goal) {
    FILTER_STATE& s = filterState();
    if (!s.doFilter) {
        if (chunk.empty() || chunk[0] != '{') {
            std::cout << chunk;
            return true;
        }
        beginAnswerSet(s, settings);
    }
    if (readAtoms(s, settings, chunk, goal))
        endAnswerSet(s, settings, run, chunk.back() == '\n', program, options, file, goal);
    return !s.enough;
}
