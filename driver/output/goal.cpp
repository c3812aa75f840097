#include "goal.hpp"

#include "base/options.hpp"

namespace {

bool isLetterOrDigit(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
}

// Removes the quoted strings of an argument text; false when a quote has
// no partner.
bool dropQuotedStrings(std::string& args) {
    std::string rest;
    for (std::size_t i = 0; i < args.size(); ++i) {
        if (args[i] != '"') {
            rest += args[i];
            continue;
        }
        std::size_t close = args.find('"', i + 1);
        if (close == std::string::npos) return false;
        i = close;
    }
    args = rest;
    return true;
}

// A run may record millions of witnesses: the lists of the former one are
// handed back instead of being given up.
void becomeWitness(ANSWER& model, GOAL_ANSWER& goal) {
    if (goal.witness) swap(*goal.witness, model);
    else goal.witness = std::move(model);
}

}  // namespace

bool IsValidGoal() {
    std::string g = Goal;
    if (g.empty()) return false;
    std::size_t open = g.find('(');
    if (open != std::string::npos) {
        if (open == 0 || g.back() != ')') return false;
        std::size_t comma = g.find(',');
        if (comma != std::string::npos && comma < open) return false;
        std::string name = g.substr(0, open);
        std::string args = g.substr(open + 1, g.size() - open - 2);
        std::string kept;
        for (char c : args)
            if (c != ',') kept += c;
        if (!dropQuotedStrings(kept)) return false;
        g = name + kept;
    }
    for (char c : g)
        if (c != '_' && !isLetterOrDigit(c)) return false;
    return true;
}

bool IsGoalAtom(const ANSWER_ATOM& atom) { return atom.text == Goal; }

GOAL_ANSWER UnansweredGoal() { return GOAL_ANSWER{!OptionBrave, std::nullopt}; }

void RecordForGoal(ANSWER& model, bool holds, GOAL_ANSWER& goal) {
    if (OptionCautious) {
        if (!holds) {
            becomeWitness(model, goal);
            goal.holds = false;
        } else if (!goal.witness) {
            becomeWitness(model, goal);
        }
    } else if (OptionBrave && holds) {
        becomeWitness(model, goal);
        goal.holds = true;
    }
}

bool WitnessShown(const GOAL_ANSWER& goal) {
    const bool shown = (OptionBrave && goal.holds) || (OptionCautious && !goal.holds);
    return shown && goal.witness.has_value();
}
