// A session's step answer as the evaluation program's lines give it: each
// answer set opened, its rejected instances noted, finished, matched with
// the goal, and written or held for --changes.
#include <algorithm>
#include <iterator>
#include <tuple>

#include "driver/output/answer_atom.hpp"
#include "driver/output/answers.hpp"
#include "driver/output/explain.hpp"
#include "driver/output/goal_pattern.hpp"
#include "driver/session/session_state.hpp"

// A ground goal as the evaluation program writes the atom.
std::string GoalAtomOf(const GOAL_ANSWER& goal, bool pexa) {
    if (!pexa) return goal.atom;
    std::string atom;
    AppendPexaName(atom, goal.atom);
    return atom;
}

namespace {

bool goalHolds(const SESSION_STATE& s, const STEP_ANSWER& step, const OPEN_ANSWER& a) {
    const std::string& goal = step.goalAtom;
    return BaseHolds(s.base, goal) || LineHolds(a.atoms, goal);
}

// The instances of a goal with variables among the atoms of the base.
ANSWER_ATOMS baseInstances(const SESSION_STATE& s, const GOAL_PATTERN& pattern) {
    ANSWER_ATOMS found;
    for (const BASE_SET::CHUNK& c : s.base.chunks)
        for (const std::string& atom : c.atoms) {
            const std::string printed = PrintedAtom(s.base, atom);
            if (MatchGoalText(pattern, printed)) found.add(printed);
        }
    return found;
}

// What the answer set gives the goal: whether it holds the ground goal, or
// its instances, those of the base first.
const GOAL_MATCHES& goalMatches(const SESSION_STATE& s, STEP_ANSWER& step, const OPEN_ANSWER& a) {
    GOAL_MATCHES& m = step.matches;
    m.clear();
    if (!step.goal.query) {
        m.holds = goalHolds(s, step, a);
        return m;
    }
    if (!step.baseInstances) step.baseInstances = baseInstances(s, *step.goal.query);
    m.instances.append(*step.baseInstances);
    m.instances.append(a.instances);
    return m;
}

}  // namespace

// The answer set that the step's lines gave is complete: it is written, or
// recorded for the goal.
void FinishAnswer(SESSION_STATE& s, STEP_ANSWER& step, OPEN_ANSWER& a) {
    a.open = false;
    ANSWER& answer = step.answer;
    const bool changes = s.settings.changes, goal = step.goal.question.asked();
    // Told by its changes, an answer set is put together whole only when it
    // is printed whole (PrintHeld) or may be a goal's witness.
    if (!changes || goal) AnswerSetOf(s.base, a.atoms, answer.atoms);
    else answer.atoms.clear();
    answer.rejected.reset();
    if (s.settings.run.explain) {
        std::sort(a.rejected.begin(), a.rejected.end(),
                  [](const EXPLANATION& x, const EXPLANATION& y) {
                      return std::tie(x.program, x.rule, x.arguments) <
                             std::tie(y.program, y.rule, y.arguments);
                  });
        answer.rejected = std::move(a.rejected);
    }
    if (changes) step.held.push_back(answer);
    else WriteAnswer(answer);
    if (goal) RecordForGoal(answer, goalMatches(s, step, a), step.goal);
    if (!changes) return;
    step.kept.push_back(KEPT_ANSWER{std::move(a.atoms), s.base.hash});
}

// --changes: the step's answer sets, held until it ended, printed as what
// changed against those printed before (whole where none matches, and all
// whole when the atoms shown changed meanwhile). keep: they are the answer
// sets printed now, which those of a goal directive are not.
void PrintHeld(SESSION_STATE& s, STEP_ANSWER& step, bool keep) {
    if (!s.settings.changes) return;
    std::vector<std::optional<ANSWER_CHANGES>> told(step.held.size());
    if (keep && s.shownWhenPrinted == s.base.shown)
        told = StepChanges(s.printed, step.kept, s.base, step.delta);
    for (std::size_t i = 0; i < step.held.size(); ++i) {
        ANSWER& answer = step.held[i];
        answer.changes = std::move(told[i]);
        if (!answer.changes && !step.goal.question.asked())
            AnswerSetOf(s.base, step.kept[i].line, answer.atoms);
        WriteAnswer(answer);
    }
    step.held.clear();
    if (!keep) return;
    s.printed = std::move(step.kept);
    s.shownWhenPrinted = s.base.shown;
}

// --changes: how the base changed in the step, the base an #undo left
// behind included.
BASE_DELTA BaseDelta(SESSION_STATE& s, std::vector<std::string> added,
                     std::vector<std::string> removed) {
    std::sort(added.begin(), added.end());
    std::sort(removed.begin(), removed.end());
    if (!s.baseLeft.empty()) {
        std::vector<std::string> all;
        all.reserve(removed.size() + s.baseLeft.size());
        std::merge(std::make_move_iterator(removed.begin()), std::make_move_iterator(removed.end()),
                   std::make_move_iterator(s.baseLeft.begin()),
                   std::make_move_iterator(s.baseLeft.end()), std::back_inserter(all));
        all.erase(std::unique(all.begin(), all.end()), all.end());
        removed = std::move(all);
        s.baseLeft.clear();
    }
    return BASE_DELTA{std::move(added), std::move(removed)};
}

// An instance rejected in the open answer set; its values read as the
// arguments of an atom.
void NoteRejection(const SESSION_STATE& s, OPEN_ANSWER& a, const REJECTED_INSTANCE& r) {
    std::vector<std::string> values;
    const ANSWER_ATOM args = readAnswerAtom("r" + std::string(r.values));
    for (std::size_t i = 0; i < args.argCount(); ++i) values.emplace_back(args.arg(i));
    a.rejected.push_back(
        ExplainInstance(s.parser->sequence.origins, r.program, r.rule, std::move(values), r.by));
}

// The answer set of a line "{a, b}" (the atoms as the evaluation program
// writes them), with the instances of a goal with variables among them.
void OpenAnswer(const SESSION_STATE& s, const GOAL_ANSWER& goal, OPEN_ANSWER& a,
                std::string_view line) {
    a = OPEN_ANSWER();
    a.open = true;
    GOAL_BINDINGS bindings;
    const auto take = [&](ANSWER_ATOM& atom) {
        a.atoms.add(atom.text);
        if (!goal.query) return;
        if (s.base.pexa && IsPexaNegation(atom.name()))
            atom.renameStart(PexaNegationPrefix.size(), "-");
        if (MatchGoal(*goal.query, atom, bindings)) a.instances.add(atom.text);
    };
    ANSWER_READER reader;
    if (!readAnswerAtoms(reader, line, take) && !reader.atom.empty()) take(reader.atom);
    SortLine(a.atoms);
}
