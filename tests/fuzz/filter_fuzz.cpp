// Fuzz target: the output filter, fed arbitrary evaluation program output
// line by line (long lines, atoms cut anywhere, unbalanced quotes and
// parentheses) with registries that hold update, rejection and minimality
// names. The first byte selects the program type and a goal mode; with
// bit 32 the goal is the first line of the input, read as a pattern, and
// the rest is the output.
#include <string>
#include <string_view>

#include "driver/output/goal.hpp"
#include "driver/output/goal_pattern.hpp"
#include "driver/run/execute.hpp"
#include "driver/run_state.hpp"
#include "fuzz_support.hpp"
#include "rewriting/rewriting.hpp"

namespace {

// The names a small update sequence with -min registers, as in a real run.
void registerAuxiliaryNames(TRANSLATION& translation) {
    const char program[] = "{ p(X) :- q(X). q(a). r. }\n{ -p(X) :- q(X), not r. \"a b\"(c). }\n";
    fuzz::parseInput(reinterpret_cast<const std::uint8_t*>(program), sizeof program - 1, true);
    RUN_SETTINGS minimal;
    minimal.programType = TestParseSettings().programType;
    minimal.minimal = true;
    UpdateRewriting(TestSequence().programs, TestSequence().constraints,
                    RunRewritingSettings(minimal), translation);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    const std::uint8_t mode = fuzz::beginRun(data, size, false);
    RUN_STATE state;
    registerAuxiliaryNames(state.translation);
    RUN_SETTINGS settings;
    settings.programType = TestParseSettings().programType;
    settings.brave = mode & 4;
    settings.cautious = !settings.brave && (mode & 8);
    if (settings.brave || settings.cautious) settings.goal = mode & 16 ? "p(a)" : "q";
    std::string text(reinterpret_cast<const char*>(data), size);
    if (mode & 32) {
        const std::size_t end = text.find('\n');
        settings.goal = text.substr(0, end);
        text.erase(0, end == std::string::npos ? text.size() : end + 1);
        // A goal that is refused never gets to the filter.
        if (!IsValidGoal(settings.goal)) return 0;
    }
    GOAL_ANSWER goal = UnansweredGoal(settings.question());
    OUTPUT_FILTER filter(settings, state, {"solver", "", "program.vok"}, goal);
    for (std::size_t at = 0; at < text.size();) {
        std::size_t end = text.find('\n', at);
        end = end == std::string::npos ? text.size() : end + 1;
        filter.take(std::string_view(text).substr(at, end - at));
        at = end;
    }
    // This line ends an answer set left open, inside a quoted string or
    // not; outside an answer set it is passed through.
    filter.take("\"}\"}\n");
    for (const GOAL_INSTANCE& i : GoalInstances(goal))
        if (goal.query && BoundValues(*goal.query, i.atom).size() != goal.query->variables.size())
            __builtin_trap();
    return 0;
}
