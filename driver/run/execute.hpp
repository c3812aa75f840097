// Running the evaluation program on a program file and filtering what it
// prints.
#pragma once

#include <string>
#include <string_view>
#include <utility>

#include "driver/output/answer.hpp"
#include "driver/output/answer_atom.hpp"
#include "driver/output/explain.hpp"
#include "driver/run_state.hpp"
#include "driver/settings.hpp"
#include "representation/rule.hpp"

// The main run: runs "program options file" (evaluate.hpp) and hands every
// line it prints to an OUTPUT_FILTER, which records in goal the answer of a
// goal query. run is the sequence the file was written from and its
// translation (pexa reads a propositional sequence only). Removes the file
// afterwards unless -f= named it. Returns the evaluation program's exit
// code, or 128 + the signal number when a signal ended it; 0 when vok
// stopped it at its own limit of answer sets.
int ExecuteProgram(const RUN_SETTINGS& settings, const RUN_STATE& run, std::string program,
                   std::string options, std::string file, GOAL_ANSWER& goal);

// The output filter of one run of the evaluation program "program options
// file": passes text outside answer sets through, strips auxiliary atoms
// from each answer set, tests it for minimality, and hands one that stands
// to the writer of the results (answers.hpp) and to the goal test, which
// records its answer in goal. run's sequence explains an answer set
// (--explain), its translation makes the candidate's test program, its
// shown predicates say what is printed. Every reference must outlive the
// filter.
class OUTPUT_FILTER {
public:
    struct CALL {
        std::string program, options, file;
    };
    OUTPUT_FILTER(const RUN_SETTINGS& settings, const RUN_STATE& run, CALL call, GOAL_ANSWER& goal)
        : settings_(settings), run_(run), call_(std::move(call)), goal_(goal) {}

    // Takes what the evaluation program printed, in whole lines (line end
    // included, when there was one). False once vok's own limit of answer
    // sets (limits.hpp) is reached: no more are wanted.
    bool take(std::string_view chunk);

    // The evaluation program's status once its output ended: an answer set
    // still open was cut short, is neither printed nor tested, and makes
    // a run that lost it no success.
    int finish(int code);

private:
    void beginAnswerSet();
    void judgeAtom(ANSWER_ATOM& atom);
    void endAnswerSet(bool lineEnded);

    const RUN_SETTINGS& settings_;
    const RUN_STATE& run_;
    const CALL call_;
    GOAL_ANSWER& goal_;

    bool inAnswerSet_ = false;  // inside an answer set
    GOAL_MATCHES matches_;      // what the answer set's atoms gave the goal
    unsigned candidates_ = 0;   // answer sets begun so far
    ANSWER answer_;             // the answer set being read, without auxiliary atoms
    RULES candidateRules_;      // rules from the rejection atoms of the answer set
    ANSWER_READER reader_;
    ANSWER_TRACE trace_;   // with --explain: its auxiliary atoms
    bool enough_ = false;  // vok's own limit of answer sets is reached: no more are read

    // What the atom judged last was found to be: an answer set's atoms come
    // sorted, so that most share the predicate of the one before them.
    struct VERDICT {
        std::string name;
        std::size_t arity = 0;
        bool known = false;
        bool auxiliary = false, rejection = false, shown = false;
    };
    const VERDICT& verdictOn(const ANSWER_ATOM& atom);
    VERDICT last_;
};
