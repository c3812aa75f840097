#include "goal.hpp"

#include <algorithm>
#include <iterator>

#include "driver/output/goal_pattern.hpp"

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

// The form goals had before they held variables: a name, or a name with an
// argument list of names, numbers and quoted strings, without blanks. Such
// a goal that does not read as a pattern is still compared as text.
bool hasPlainForm(std::string g) {
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

// Whether a goal uses what only the pattern syntax knows: outside quoted
// strings, a character other than letters, digits, "_", "," and
// parentheses, or a nested parenthesis. Refusals of the other goals stay
// as they always were.
bool usesPatternSyntax(std::string_view g) {
    int depth = 0;
    for (std::size_t i = 0; i < g.size(); ++i) {
        const char c = g[i];
        if (c == '"') {
            const std::size_t close = g.find('"', i + 1);
            if (close == std::string_view::npos) return false;
            i = close;
        } else if (c == '(') {
            if (++depth > 1) return true;
        } else if (c == ')') {
            --depth;
        } else if (c != '_' && c != ',' && !isLetterOrDigit(c)) {
            return true;
        }
    }
    return false;
}

// A run may record millions of witnesses: the lists of the former one are
// handed back instead of being given up.
void becomeWitness(ANSWER& model, GOAL_ANSWER& goal) {
    if (goal.witness) swap(*goal.witness, model);
    else goal.witness = std::move(model);
}

void recordBrave(ANSWER& model, const ANSWER_ATOMS& instances, GOAL_ANSWER& goal) {
    const std::size_t witness = goal.witnesses.size();
    bool fresh = false;
    for (std::size_t i = 0; i < instances.size(); ++i) {
        // Most instances of a later answer set are known: looked up first,
        // without a copy of their text.
        if (goal.instances.find(instances[i]) != goal.instances.end()) continue;
        goal.instances.emplace(std::string(instances[i]), witness);
        fresh = true;
    }
    if (fresh) goal.witnesses.push_back(std::move(model));
    goal.holds = !goal.instances.empty();
}

// The instances held by every answer set so far are those that the last
// one held too; each keeps the number of the last answer set holding it.
void recordCautious(const ANSWER_ATOMS& instances, GOAL_ANSWER& goal) {
    const std::size_t n = ++goal.answerSets;
    INSTANCE_MAP& kept = goal.instances;
    if (n == 1) {
        for (std::size_t i = 0; i < instances.size(); ++i)
            kept.try_emplace(std::string(instances[i]), n);
    } else if (!kept.empty()) {
        std::size_t held = 0;
        for (std::size_t i = 0; i < instances.size(); ++i) {
            const auto at = kept.find(instances[i]);
            if (at == kept.end() || at->second != n - 1) continue;
            at->second = n;
            ++held;
        }
        if (held < kept.size()) std::erase_if(kept, [n](const auto& k) { return k.second != n; });
    }
    goal.holds = !kept.empty();
}

}  // namespace

bool IsValidGoal(const std::string& goal) { return ParseGoal(goal).pattern || hasPlainForm(goal); }

std::optional<std::string> GoalRefusal(const std::string& goal, const char* invocation) {
    const GOAL_PARSE parse = ParseGoal(goal);
    if (parse.pattern || hasPlainForm(goal)) return std::nullopt;
    std::string message = "Invalid goal: " + goal + ".";
    if (usesPatternSyntax(goal))
        message += "\n" + std::string(invocation) + ": " + parse.error.reason + " at column " +
                   std::to_string(parse.error.column);
    return message;
}

bool IsGoalAtom(const GOAL_ANSWER& goal, const ANSWER_ATOM& atom) { return atom.text == goal.atom; }

void NoteGoalAtom(const GOAL_ANSWER& goal, const ANSWER_ATOM& atom, GOAL_MATCHES& matches) {
    if (goal.query) {
        GOAL_BINDINGS bindings;
        if (MatchGoal(*goal.query, atom, bindings)) matches.instances.add(atom.text);
    } else if (!matches.holds) {
        matches.holds = IsGoalAtom(goal, atom);
    }
}

GOAL_ANSWER UnansweredGoal(const GOAL_QUESTION& question) {
    GOAL_ANSWER goal;
    goal.question = question;
    goal.holds = !question.brave;
    // Read only when asked for: a goal that does not read as a pattern
    // costs an exception, which a run without goals has no reason to risk.
    if (!question.asked()) return goal;
    GOAL_PARSE parse = ParseGoal(question.goal);
    // A goal of the old form that does not read as a pattern is its text.
    if (!parse.pattern) goal.atom = question.goal;
    else if (parse.pattern->ground()) goal.atom = parse.pattern->text;
    else goal.query = std::move(parse.pattern);
    return goal;
}

void RecordForGoal(ANSWER& model, bool holds, GOAL_ANSWER& goal) {
    if (goal.question.cautious) {
        if (!holds) {
            becomeWitness(model, goal);
            goal.holds = false;
        } else if (!goal.witness) {
            becomeWitness(model, goal);
        }
    } else if (goal.question.brave && holds) {
        becomeWitness(model, goal);
        goal.holds = true;
    }
}

void RecordForGoal(ANSWER& model, const GOAL_MATCHES& matches, GOAL_ANSWER& goal) {
    if (!goal.query) return RecordForGoal(model, matches.holds, goal);
    if (goal.question.cautious) recordCautious(matches.instances, goal);
    else if (goal.question.brave) recordBrave(model, matches.instances, goal);
}

bool WitnessShown(const GOAL_ANSWER& goal) {
    if (goal.query) return false;
    const GOAL_QUESTION& q = goal.question;
    const bool shown = (q.brave && goal.holds) || (q.cautious && !goal.holds);
    return shown && goal.witness.has_value();
}

std::vector<GOAL_INSTANCE> GoalInstances(const GOAL_ANSWER& goal) {
    std::vector<GOAL_INSTANCE> list;
    list.reserve(goal.instances.size());
    for (const auto& [atom, number] : goal.instances)
        list.push_back(
            GOAL_INSTANCE{atom, goal.question.brave ? std::optional(number) : std::nullopt});
    std::sort(list.begin(), list.end(),
              [](const GOAL_INSTANCE& a, const GOAL_INSTANCE& b) { return a.atom < b.atom; });
    return list;
}
