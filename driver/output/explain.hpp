// Why rules are missing from an answer set. The rejection atoms of the
// answer set (rej_P<i>_R<j>(c1,...,cm), the values of the rule's variables
// X0..Xm-1) name the rule instances that were switched off; the update
// atoms of the same answer set tell which newer program holds the
// complementary literal. The most recent program k > i whose complementary
// update atom holds is the one whose rule derived it: an update atom of
// program k that is not derived by a rule of k comes by inertia from k+1.
#pragma once

#include <optional>
#include <string>
#include <unordered_set>
#include <utility>
#include <vector>

#include "driver/output/answer_atom.hpp"
#include "input/origins.hpp"

// One rejected rule instance.
struct EXPLANATION {
    unsigned program = 0;
    unsigned rule = 0;
    const RULE_ORIGIN* origin = nullptr;  // null when none was recorded
    std::string input;  // the name of the input the origin points into; "" without one
    std::vector<std::string> arguments;                         // of the rejection atom, X0..Xm-1
    std::vector<std::pair<std::string, std::string>> bindings;  // named variables only
    // The complementary literal of its head, and the program where it holds;
    // none without an origin, and no program when none holds it.
    std::optional<std::string> by;
    std::optional<unsigned> byProgram;
};

// The auxiliary atoms of one answer set, as the filter meets them.
struct ANSWER_TRACE {
    struct REJECTION {
        unsigned program;
        unsigned rule;
        std::vector<std::string> arguments;
    };
    std::vector<REJECTION> rejections;
    std::unordered_set<std::string> auxiliary;  // texts of all auxiliary atoms

    void clear() {
        rejections.clear();
        auxiliary.clear();
    }
    // Notes an atom of an update or rejection predicate.
    void note(const ANSWER_ATOM& atom);
};

// The rejected rule instances of an answer set of sequence, ordered by
// program, rule and arguments.
std::vector<EXPLANATION> ExplainAnswerSet(const ANSWER_TRACE& trace, const SEQUENCE& sequence);

// The explanation of one rejected instance whose rejecter is known: the
// complementary literal holds up to program byProgram (a session's
// evaluation program says so).
EXPLANATION ExplainInstance(const RULE_ORIGINS& origins, unsigned program, unsigned rule,
                            std::vector<std::string> arguments, unsigned byProgram);
