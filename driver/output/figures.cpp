// The figures of a run as the results write them: the --stats summary in
// the solver's words, its JSON members, and the figures every JSON document
// ends with, written without memory of their own.
#include "driver/output/figures.hpp"

#include <cstdio>
#include <string>
#include <string_view>

#include "driver/output/json.hpp"
#include "driver/output/summary.hpp"

namespace {

// "Brave" or "Cautious", as clingo names the consequences it computed.
const char* enumModeName(const RUN_SETTINGS& settings) {
    return settings.enumMode == ENUM_MODE::BRAVE ? "Brave" : "Cautious";
}

constexpr const char* PhaseNames[PhaseCount] = {"Reading", "Rewriting", "Writing", "Solving"};

// "Models       : 2+": a label padded to the width of the solver's.
std::string summaryLine(const std::string& label, const std::string& value) {
    return label + std::string(label.size() < 13 ? 13 - label.size() : 0, ' ') + ": " + value +
           "\n";
}

}  // namespace

// ---- How the run ended, and its figures (--stats), in the words of the
// solver's own summary. end is null where the run ended before
// FinishAnswers.

const char* ResultOf(const RUN_END* end) {
    if (!end || !end->evaluated || end->status != 0 || RunSummary().error) return "UNKNOWN";
    return RunSummary().models ? "SATISFIABLE" : "UNSATISFIABLE";
}

// Why the result is UNKNOWN.
std::string UnknownReason(const RUN_END* end) {
    const RUN_SUMMARY& s = RunSummary();
    if (s.error) return *s.error;
    if (end && end->status != 0)
        return "the evaluation program ended with status " + std::to_string(end->status);
    return "the run stopped on an error";
}

std::string SecondsText(double seconds) {
    char text[32];
    std::snprintf(text, sizeof text, "%.3f", seconds);
    return text;
}

// "1 rule", "2 rules".
std::string Counted(std::size_t n, const std::string& what) {
    return std::to_string(n) + " " + what + (n == 1 ? "" : "s");
}

std::string SummaryText(const RUN_END* end, const RUN_SETTINGS& settings) {
    const RUN_SUMMARY& s = RunSummary();
    const char* result = ResultOf(end);
    std::string text = std::string(result) + "\n\n";
    if (std::string_view(result) == "UNKNOWN") text += summaryLine("Error", UnknownReason(end));
    text += summaryLine("Models", std::to_string(s.models) + (s.more ? "+" : ""));
    if (s.consequences) {
        text += summaryLine(std::string("  ") + enumModeName(settings), "yes");
        text += summaryLine("Consequences", std::to_string(*s.consequences));
    }
    text += summaryLine("Calls", std::to_string(s.calls));
    std::string time = SecondsText(TotalSeconds()) + "s (";
    for (int p = 0; p < PhaseCount; ++p) {
        if (p) time += ' ';
        time += std::string(PhaseNames[p]) + ": " + SecondsText(PhaseSeconds(PHASE(p))) + "s";
    }
    text += summaryLine("Time", time + ")");
    text += summaryLine("CPU Time", SecondsText(ProcessorSeconds()) + "s");
    if (settings.testsCandidates())
        text += summaryLine("Candidates",
                            std::to_string(s.tested) + " (Kept: " + std::to_string(s.models) + ")");
    text += summaryLine("Program", Counted(s.programRules, "rule") + ", " +
                                       Counted(s.programConstraints, "constraint"));
    return text;
}

// The member "Models" with the comma before it: the number of answer sets,
// whether there may be more and, with --enum-mode=brave or cautious, the
// consequences as clingo counts them (none open once solving finished).
std::string ModelsMember(std::size_t number, const RUN_SETTINGS& settings) {
    const RUN_SUMMARY& s = RunSummary();
    std::string text = ",\n  \"Models\": {\n    \"Number\": " + std::to_string(number) +
                       ",\n    \"More\": \"" + (s.more ? "yes" : "no") + "\"";
    if (s.consequences)
        text += ",\n    \"" + std::string(enumModeName(settings)) +
                "\": \"yes\",\n    \"Consequences\": {\n      \"True\": " +
                std::to_string(*s.consequences) + ",\n      \"Open\": 0\n    }";
    return text + "\n  }";
}

// The members after "Result" in the JSON document, each with the comma
// before it.
std::string SummaryMembers(const RUN_END* end, const RUN_SETTINGS& settings) {
    const RUN_SUMMARY& s = RunSummary();
    std::string text;
    if (std::string_view(ResultOf(end)) == "UNKNOWN")
        text += ",\n  \"Error\": " + JsonString(UnknownReason(end));
    text += ModelsMember(s.models, settings);
    text += ",\n  \"Calls\": " + std::to_string(s.calls);
    text += ",\n  \"Time\": {\n    \"Total\": " + SecondsText(TotalSeconds());
    for (int p = 0; p < PhaseCount; ++p)
        text +=
            ",\n    \"" + std::string(PhaseNames[p]) + "\": " + SecondsText(PhaseSeconds(PHASE(p)));
    text += ",\n    \"CPU\": " + SecondsText(ProcessorSeconds()) + "\n  }";
    if (settings.testsCandidates())
        text += ",\n  \"Candidates\": {\n    \"Tested\": " + std::to_string(s.tested) +
                ",\n    \"Kept\": " + std::to_string(s.models) + "\n  }";
    text += ",\n  \"Program\": {\n    \"Rules\": " + std::to_string(s.programRules) +
            ",\n    \"Constraints\": " + std::to_string(s.programConstraints) + "\n  }";
    return text;
}

// ---- The figures every JSON document of a run ends with, written without
// memory of their own, so that every end of the run can write them, one
// by a signal included.

// "Calls" and "Time" as clingo writes them without --stats: "Total" the
// whole run, "Solve" its solving, "Model" until the first answer set stood,
// "Unsat" after the last one until solving finished (finished: the run got
// to its end), "CPU" that of vok and the evaluation programs.
void AddCallsAndTime(FIXED_TEXT& t, bool finished) {
    const RUN_SUMMARY& s = RunSummary();
    const double solving = PhaseSeconds(PHASE::SOLVING);
    t.add(",\n  \"Calls\": ");
    t.addNumber(s.calls);
    t.add(",\n  \"Time\": {\n    \"Total\": ");
    t.addSeconds(TotalSeconds());
    t.add(",\n    \"Solve\": ");
    t.addSeconds(solving);
    t.add(",\n    \"Model\": ");
    t.addSeconds(s.firstModel);
    t.add(",\n    \"Unsat\": ");
    t.addSeconds(finished ? solving - s.lastModel : 0);
    t.add(",\n    \"CPU\": ");
    t.addSeconds(ProcessorSeconds());
    t.add("\n  }");
}

// The figures of a run that did not get to its end: its answer sets so far.
FIXED_TEXT UnknownFigures(unsigned long models) {
    FIXED_TEXT t;
    t.add(",\n  \"Models\": {\n    \"Number\": ");
    t.addNumber(models);
    t.add(",\n    \"More\": \"");
    t.add(RunSummary().more ? "yes" : "no");
    t.add("\"\n  }");
    AddCallsAndTime(t, false);
    return t;
}
