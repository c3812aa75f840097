#include "driver/output/mentions.hpp"

#include "driver/output/goal_pattern.hpp"
#include "representation/atom.hpp"

bool InputMentions(std::string_view name, std::size_t arity) {
    const auto [n, known] = ATOM::Predicates.find(name);
    // Builtins are the system's own, and generated names nobody writes.
    return known && ATOM::Predicates.family(n) == PREDICATE_NAMES::GIVEN &&
           ATOM::Predicates.type(n) != PREDICATE_NAMES::BUILTIN_PREDICATE &&
           ATOM::Predicates.arity(n) == arity;
}

void WarnOfUnmentionedShown(std::ostream& err,
                            const std::vector<std::pair<std::string, std::size_t>>& shown) {
    for (const auto& [name, arity] : shown)
        if (!InputMentions(name, arity))
            err << "vok: warning: --show names " << name << "/" << arity
                << ", which no program mentions" << std::endl;
}

void WarnOfUnmentionedGoal(std::ostream& err, const std::string& goal) {
    // A goal of the old form that reads as no pattern is compared as text.
    const GOAL_PARSE parse = ParseGoal(goal);
    if (!parse.pattern) return;
    const GOAL_PATTERN& p = *parse.pattern;
    if (InputMentions(p.name, p.args.size())) return;
    err << "vok: warning: the goal's predicate " << p.name << "/" << p.args.size()
        << " occurs in no program" << std::endl;
}

std::string NoAnswerSetLine(bool brave, bool cautious) {
    std::string line = "vok: the update sequence has no answer set";
    if (cautious) line += ", so the cautious goal holds vacuously";
    if (brave) line += ", so the brave goal holds in none";
    return line;
}
