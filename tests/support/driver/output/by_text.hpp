// The output's steps fed with texts, as the tests write them: an answer set
// for the goal test. The product hands these steps atoms it has read
// already (see driver/run/execute.cpp).
#pragma once

#include <string>

#include "driver/output/answer_atom.hpp"
#include "driver/output/answers.hpp"
#include "driver/output/goal.hpp"

// An answer set given as text ("{a, p(b)}") as the filter hands it over.
inline ANSWER answerOf(const std::string& text) {
    ANSWER answer;
    for (const ANSWER_ATOM& atom : readAnswerSet(text)) answer.atoms.add(atom.text);
    return answer;
}

// Records a filtered answer set given as text for the goal that question
// asks (RecordForGoal), with the verdict and the witness's text before and
// after.
inline void TestForGoal(const GOAL_QUESTION& question, const std::string& model, bool& answer,
                        std::string& witness) {
    GOAL_ANSWER goal = UnansweredGoal(question);
    goal.holds = answer;
    GOAL_MATCHES matches;
    for (const ANSWER_ATOM& atom : readAnswerSet(model)) NoteGoalAtom(goal, atom, matches);
    if (!witness.empty()) goal.witness = answerOf(witness);
    ANSWER recorded = answerOf(model);
    RecordForGoal(recorded, matches, goal);
    answer = goal.holds;
    witness = goal.witness ? AnswerText(goal.witness->atoms) : std::string();
}
