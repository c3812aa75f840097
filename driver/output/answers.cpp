#include "driver/output/answers.hpp"

#include <unistd.h>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <iostream>

#include "base/exits.hpp"
#include "common/chunks.hpp"
#include "common/never_destroyed.hpp"
#include "common/pipe_channel.hpp"
#include "driver/output/figures.hpp"
#include "driver/output/goal.hpp"
#include "driver/output/goal_pattern.hpp"
#include "driver/output/json.hpp"
#include "driver/output/summary.hpp"
#include "driver/settings.hpp"
#include "representation/rule.hpp"

namespace {

// The JSON document (below) as it is written.
struct JSON_DOCUMENT {
    std::ostream* out = nullptr;  // the real standard output; null until begun
    // Read by the signal handler that closes the document.
    volatile std::sig_atomic_t finished = false;
    volatile std::sig_atomic_t models = 0;
    // JSON lines: the members every step's document begins with, and the
    // witnesses of the step so far.
    std::string head;
    std::string witnesses;
    // The stream out points to once begun, on standard output's buffer.
    std::ostream stream{nullptr};
};

// What the writers know of the run, in one record: a copy of its settings,
// given when the answers begin (the ends of the run that close the results
// read them too), whether the answer sets being written answer a goal,
// which the text form then leaves out (the run's goal, or that of a
// session's step), the text form's line buffer and the JSON document.
struct WRITER {
    RUN_SETTINGS settings;
    bool goalAsked = false;
    std::string line;
    JSON_DOCUMENT document;
};

// Made in place on first use and never destroyed: a destructor registered
// for the end of the process could ask the C library for memory after main
// began, where a request that fails passes unnoticed, and every end of the
// run, one for want of memory included, still closes the results with it.
WRITER& writer() {
    static NEVER_DESTROYED<WRITER> w;
    return w.get();
}

JSON_DOCUMENT& document() { return writer().document; }

const RUN_SETTINGS& settings() { return writer().settings; }

ANSWER_FORMAT formatOf() {
    if (!settings().json) return ANSWER_FORMAT::TEXT;
    return settings().session ? ANSWER_FORMAT::JSON_LINES : ANSWER_FORMAT::JSON;
}

// A goal is answered only by a run that did not fail: after a failure the
// answer sets read may be only some of them.
bool verdictStands(const RUN_END& end, const GOAL_ANSWER& goal) {
    return goal.question.asked() && end.status == 0;
}

// The witness of a goal's answer where it is shown, or null.
const ANSWER* shownWitness(const GOAL_ANSWER& goal) {
    return WitnessShown(goal) ? &*goal.witness : nullptr;
}

// ---- Text: answer sets and verdicts on standard output.

// Bytes of atoms beyond which an answer set is not copied to be written.
constexpr std::size_t LargeAnswerSet = 1 << 16;

// Whether text holds a character that ends a line for a reader of text.
// Two searches for one byte each: find_first_of over a set of characters
// looks each byte up in the set, a call per byte of a large answer set.
bool breaksLines(std::string_view text) {
    return text.find('\n') != std::string_view::npos || text.find('\r') != std::string_view::npos;
}

// An answer set of a session's step told by what changed: "~ N" (N the
// answer set it changes), a line "-atom" per atom it lost and "+atom" per
// atom it gained, then its explanation. No such line begins with "{" or
// "% ", so that readers of answer sets and closing lines are unaffected.
void textChanges(const ANSWER& answer) {
    const ANSWER_CHANGES& c = *answer.changes;
    std::string lines = "~ " + std::to_string(c.from) + "\n";
    const auto signed_ = [&lines](const ANSWER_ATOMS& atoms, char sign) {
        for (std::size_t i = 0; i < atoms.size(); ++i) {
            lines += sign;
            if (breaksLines(atoms[i])) lines += OnOneLine(atoms[i]);
            else lines += atoms[i];
            lines += '\n';
        }
    };
    signed_(c.removed, '-');
    signed_(c.added, '+');
    if (answer.rejected) lines += ExplanationLines(*answer.rejected);
    std::cout << lines;
    if (!std::cout) throw END_OF_RUN{1};
}

void textAnswer(const ANSWER& answer) {
    // A goal query shows its witness only, once it is known.
    if (writer().goalAsked) return;
    if (answer.changes) return textChanges(answer);
    // Explanation lines never begin with "{", so that scripts that read
    // answer-set lines are unaffected.
    const bool explained = answer.rejected && !answer.rejected->empty();
    // Built in a buffer that serves answer set after answer set, and
    // written at once: each write to standard output is a call of the C
    // library, and a run may print millions of answer sets. The atoms of a
    // large one are written where they stand rather than copied.
    std::string& line = writer().line;
    line.assign(1, '{');
    std::string_view atoms = answer.atoms.text;
    std::string oneLine;
    if (breaksLines(atoms)) atoms = oneLine = OnOneLine(atoms);
    if (atoms.size() > LargeAnswerSet) {
        std::cout << line << atoms;
        line.clear();
    } else {
        line += atoms;
    }
    line += '}';
    if (answer.lineEnded || explained) line += '\n';
    if (explained) line += ExplanationLines(*answer.rejected);
    // The consequence set is told from an answer set as clingo tells it.
    if (settings().asksConsequences()) {
        const std::string n = std::to_string(answer.atoms.size());
        line += "Consequences: [" + n + ";" + n + "]\n";
    }
    std::cout << line;
    // Answer sets that can no longer be written (a full disk, a reader
    // that went away while SIGPIPE is ignored) end the run at once.
    if (!std::cout) throw END_OF_RUN{1};
}

// An answer set shown with a verdict, explained with --explain.
void textWitness(const ANSWER& witness) {
    std::cout << AnswerText(witness.atoms) << std::endl;
    if (witness.rejected) std::cout << ExplanationLines(*witness.rejected) << std::flush;
}

// A goal with variables: its instances one a line, then (brave) each
// answer set that witnesses some of them; no instance line begins with "{".
void textInstances(const GOAL_ANSWER& goal) {
    std::string lines;
    for (const GOAL_INSTANCE& i : GoalInstances(goal)) {
        lines += i.atom;
        lines += '\n';
    }
    std::cout << lines;
    for (const ANSWER& witness : goal.witnesses) textWitness(witness);
}

void textGoal(const GOAL_ANSWER& goal) {
    std::cout << (goal.holds ? "true" : "false") << "." << std::endl;
    if (goal.query) return textInstances(goal);
    if (const ANSWER* witness = shownWitness(goal)) textWitness(*witness);
}

// The summary is written once, at the end of the run, early or not.
void textSummary(const RUN_END* end) {
    if (RunSummary().reported) return;
    RunSummary().reported = true;
    std::cout << SummaryText(end, settings()) << std::flush;
}

// An end of the run before FinishAnswers still says how it ended.
void textSummaryUnknown() { textSummary(nullptr); }

void textBegin() {
    if (settings().stats) AtOutputEnd(textSummaryUnknown);
}

void textEnd(const RUN_END& end, const GOAL_ANSWER& goal) {
    if (verdictStands(end, goal)) textGoal(goal);
    if (settings().stats) textSummary(&end);
}

// ---- JSON: one document on standard output, in the shape of the solver's
// own JSON output: "Solver", "Input", "Call" with the "Witnesses" (each a
// "Value" list of atoms, with --explain also "Rejected"), "Result",
// "Models" (with --stats also "Error", "Calls", "Time", "Candidates" and
// "Program") and, for a goal query, "Goal". Witnesses are written as they
// come.

// A JSON list of the strings of items (the inputs, the atoms of an answer
// set).
template <class LIST>
std::string stringList(const LIST& items) {
    std::string text = "[";
    for (std::size_t n = 0; n < items.size(); ++n) {
        if (n) text += ", ";
        text += JsonString(items[n]);
    }
    return text + "]";
}

std::string rejectedObject(const EXPLANATION& e) {
    std::string text =
        "{\"Program\": " + std::to_string(e.program) + ", \"Rule\": " + std::to_string(e.rule);
    if (e.origin) {
        text += ", \"File\": " + JsonString(e.input) +
                ", \"Line\": " + std::to_string(e.origin->line) +
                ", \"Text\": " + JsonString(e.origin->text);
    }
    text += ", \"Bindings\": {";
    for (std::size_t n = 0; n < e.bindings.size(); ++n) {
        if (n) text += ", ";
        text += JsonString(e.bindings[n].first) + ": " + JsonString(e.bindings[n].second);
    }
    text += "}, \"By\": " + (e.by ? JsonString(*e.by) : std::string("null"));
    text +=
        ", \"ByProgram\": " + (e.byProgram ? std::to_string(*e.byProgram) : std::string("null"));
    return text + "}";
}

// ,"Rejected": [...] as the last member of a witness object.
std::string rejectedList(const std::vector<EXPLANATION>& rejected, const char* indent) {
    std::string text = ",\n" + std::string(indent) + "\"Rejected\": [";
    for (std::size_t n = 0; n < rejected.size(); ++n) {
        text += n ? ",\n" : "\n";
        text += std::string(indent) + "  " + rejectedObject(rejected[n]);
    }
    if (!rejected.empty()) text += "\n" + std::string(indent);
    return text + "]";
}

// {"Atom": "p(a,b)", "Bindings": {"X": "a"}, "Witness": 0}: an instance of
// a goal with variables, the values of its named variables and (brave) the
// number of its witness in "Witnesses".
std::string instanceObject(const GOAL_PATTERN& pattern, const GOAL_INSTANCE& instance) {
    const std::vector<std::string> values = BoundValues(pattern, instance.atom);
    std::string text = "{\"Atom\": " + JsonString(instance.atom) + ", \"Bindings\": {";
    for (std::size_t n = 0; n < values.size(); ++n)
        text += (n ? ", " : "") + JsonString(pattern.variables[n]) + ": " + JsonString(values[n]);
    text += "}";
    if (instance.witness) text += ", \"Witness\": " + std::to_string(*instance.witness);
    return text + "}";
}

// The members of a goal with variables after "Holds": "Instances" and,
// brave, "Witnesses" (each as a witness of "Call").
std::string instanceMembers(const GOAL_ANSWER& goal) {
    std::string text = ",\n    \"Instances\": [";
    const std::vector<GOAL_INSTANCE> instances = GoalInstances(goal);
    for (std::size_t n = 0; n < instances.size(); ++n)
        text +=
            (n ? ",\n" : "\n") + std::string("      ") + instanceObject(*goal.query, instances[n]);
    text += instances.empty() ? "]" : "\n    ]";
    if (!goal.question.brave) return text;
    text += ",\n    \"Witnesses\": [";
    for (std::size_t n = 0; n < goal.witnesses.size(); ++n) {
        const ANSWER& w = goal.witnesses[n];
        text +=
            (n ? ",\n" : "\n") + std::string("      {\n        \"Value\": ") + stringList(w.atoms);
        if (w.rejected) text += rejectedList(*w.rejected, "        ");
        text += "\n      }";
    }
    return text + (goal.witnesses.empty() ? "]" : "\n    ]");
}

std::string goalObject(const GOAL_ANSWER& goal) {
    std::string text = ",\n  \"Goal\": {\n    \"Atom\": " + JsonString(goal.question.goal) +
                       ",\n    \"Reasoning\": \"" + (goal.question.brave ? "brave" : "cautious") +
                       "\",\n    \"Holds\": " + (goal.holds ? "true" : "false");
    if (goal.query) return text + instanceMembers(goal) + "\n  }";
    const ANSWER* witness = shownWitness(goal);
    text += ",\n    \"Witness\": " + (witness ? stringList(witness->atoms) : "null");
    if (witness && witness->rejected) text += rejectedList(*witness->rejected, "    ");
    return text + "\n  }";
}

// The pieces of the document after the last witness that a signal's end
// writes too: written without memory of their own, so that every end of
// the run can close the document, one by a signal or for want of memory
// included.
const char* closingWitnesses(bool any) {
    return any ? "\n      ]\n    }\n  ],\n" : "]\n    }\n  ],\n";
}
constexpr const char* ResultOpens = "  \"Result\": \"";
constexpr const char* NumberCloses = "\n  }";
constexpr const char* DocumentCloses = "\n}\n";
constexpr const char* UnknownCloses = "UNKNOWN\"";

std::string addedCallsAndTime(bool finished) {
    FIXED_TEXT t;
    AddCallsAndTime(t, finished);
    return t.text;
}

// The rest of the document after the last witness; end is null where the
// run ended before FinishAnswers, goal where it ended before the goal was
// answered (or the run failed).
std::string documentTail(const RUN_END* end, const GOAL_ANSWER* goal) {
    std::string tail = ResultOpens + std::string(ResultOf(end)) + "\"";
    if (settings().stats) tail += SummaryMembers(end, settings());
    else if (formatOf() == ANSWER_FORMAT::JSON_LINES)  // a session's step: no run's figures
        tail += ",\n  \"Models\": {\n    \"Number\": " + std::to_string(document().models) +
                NumberCloses;
    else
        tail += ModelsMember(static_cast<std::size_t>(document().models), settings()) +
                addedCallsAndTime(end && std::string_view(ResultOf(end)) != "UNKNOWN");
    if (goal) tail += goalObject(*goal);
    return tail + DocumentCloses;
}

// Closes the document, once.
void jsonFinish(const RUN_END* end, const GOAL_ANSWER* goal) {
    JSON_DOCUMENT& d = document();
    if (!d.out || d.finished) return;
    // Made before anything is written: should memory run out here, the
    // end of the run still closes the document.
    const std::string tail = documentTail(end, goal);
    ENDING_SIGNALS_HELD held;
    d.finished = true;
    *d.out << closingWitnesses(d.models) << tail << std::flush;
}

// The document's members "Solver" and "Input", after its "{".
std::string jsonHead(const std::string& solver, const std::vector<std::string>& inputs) {
    return "{\n  \"Solver\": " + JsonString(solver) + ",\n  \"Input\": " + stringList(inputs);
}

constexpr const char* WitnessesOpen = ",\n  \"Call\": [\n    {\n      \"Witnesses\": [";

// The document as one line: a line end and the indentation after it go,
// and after a comma become one blank. A line end never stands inside a
// JSON string, which writes it as \n.
std::string oneLine(const std::string& document) {
    std::string line;
    line.reserve(document.size());
    for (std::size_t i = 0; i < document.size(); ++i) {
        if (document[i] != '\n') {
            line += document[i];
            continue;
        }
        while (i + 1 < document.size() && document[i + 1] == ' ') ++i;
        if (!line.empty() && line.back() == ',') line += ' ';
    }
    return line + '\n';
}

// One document of a session's step, members after "Step" given, on its
// line, written whole.
void jsonLine(unsigned step, const std::string& members) {
    JSON_DOCUMENT& d = document();
    const std::string line = oneLine(d.head + ",\n  \"Step\": " + std::to_string(step) + members);
    *d.out << line << std::flush;
    // Results that can no longer be written end the session at once.
    if (!*d.out) throw END_OF_RUN{1};
}

void linesBegin(const std::string& solver, const std::vector<std::string>& inputs) {
    JSON_DOCUMENT& d = document();
    if (d.out) return;
    d.head = jsonHead(solver, inputs);
    // The documents keep standard output's buffer; std::cout now writes to
    // standard error.
    d.stream.rdbuf(std::cout.rdbuf());
    std::cout.rdbuf(std::cerr.rdbuf());
    d.out = &d.stream;
}

void linesStepEnd(const STEP_OUTCOME& end, const GOAL_ANSWER* goal, const RUN_END& run) {
    JSON_DOCUMENT& d = document();
    const std::string directive =
        end.directive ? ",\n  \"Directive\": " + JsonString(end.directive) : std::string();
    jsonLine(end.step, directive + WitnessesOpen + d.witnesses + closingWitnesses(d.models) +
                           documentTail(&run, goal));
}

// An end of the run before FinishAnswers (a failed test evaluation, a stop
// on an error, memory run out) still leaves a complete document; without
// the summary's figures it is written without memory of its own.
void jsonFinishUnknown() {
    JSON_DOCUMENT& d = document();
    if (!d.out || d.finished) return;
    if (settings().stats) return jsonFinish(nullptr, nullptr);
    const FIXED_TEXT figures = UnknownFigures(static_cast<unsigned long>(d.models));
    ENDING_SIGNALS_HELD held;
    d.finished = true;
    *d.out << closingWitnesses(d.models) << ResultOpens << UnknownCloses << figures.text
           << DocumentCloses << std::flush;
}

// The same in a signal handler: the document's stream holds nothing
// unwritten whenever the ending signals may come, so the rest is written
// to standard output directly.
void jsonFinishOnSignal() {
    JSON_DOCUMENT& d = document();
    if (!d.out || d.finished) return;
    d.finished = true;
    const FIXED_TEXT figures = UnknownFigures(static_cast<unsigned long>(d.models));
    for (const char* piece : {closingWitnesses(d.models), ResultOpens, UnknownCloses,
                              static_cast<const char*>(figures.text), DocumentCloses})
        WriteAll(STDOUT_FILENO, piece);
}

void jsonBegin(const std::string& solver, const std::vector<std::string>& inputs) {
    JSON_DOCUMENT& d = document();
    if (d.out) return;
    // What may need memory comes first, the ends that close the document
    // next, and the document begins last, so that it is closed whenever it
    // was begun.
    const std::string text = "{\n  \"Solver\": " + JsonString(solver) +
                             ",\n  \"Input\": " + stringList(inputs) +
                             ",\n  \"Call\": [\n    {\n      \"Witnesses\": [";
    d.stream.rdbuf(std::cout.rdbuf());
    // Every end of the run through base/exits closes the document before
    // standard output is checked; the scanner's fatal error exits on its
    // own, which only atexit sees (a second call does nothing).
    AtOutputEnd(jsonFinishUnknown);
    AtSignalEnd(jsonFinishOnSignal);
    // Its registration may ask the C library for memory, which must not
    // fail unnoticed.
    if (std::atexit(jsonFinishUnknown) != 0) MemoryRanOut();
    ENDING_SIGNALS_HELD held;
    // The document keeps standard output's buffer; std::cout now writes to
    // standard error.
    std::cout.rdbuf(std::cerr.rdbuf());
    d.out = &d.stream;
    d.stream << text << std::flush;
}

void jsonAnswer(const ANSWER& answer) {
    JSON_DOCUMENT& d = document();
    if (!d.out || d.finished) return;
    std::string text = d.models ? ",\n" : "\n";
    text += "        {\n          \"Value\": " + stringList(answer.atoms);
    if (answer.rejected) text += rejectedList(*answer.rejected, "          ");
    if (settings().asksConsequences())
        text += ",\n          \"Consequences\": {\n            \"True\": " +
                std::to_string(answer.atoms.size()) + ",\n            \"Open\": 0\n          }";
    text += "\n        }";
    ENDING_SIGNALS_HELD held;
    *d.out << text << std::flush;
    d.models = d.models + 1;
}

void linesAnswer(const ANSWER& answer) {
    JSON_DOCUMENT& d = document();
    d.witnesses += d.models ? ",\n" : "\n";
    if (const std::optional<ANSWER_CHANGES>& c = answer.changes)
        d.witnesses += "        {\n          \"From\": " + std::to_string(c->from) +
                       ",\n          \"Removed\": " + stringList(c->removed) +
                       ",\n          \"Added\": " + stringList(c->added);
    else d.witnesses += "        {\n          \"Value\": " + stringList(answer.atoms);
    if (answer.rejected) d.witnesses += rejectedList(*answer.rejected, "          ");
    d.witnesses += "\n        }";
    d.models = d.models + 1;
}

void jsonEnd(const RUN_END& end, const GOAL_ANSWER& goal) {
    jsonFinish(&end, verdictStands(end, goal) ? &goal : nullptr);
}

// ---- The writers: one class per format, each saying what its format
// prints at each point of a run or a session.

class ANSWER_WRITER {
public:
    virtual ~ANSWER_WRITER() = default;
    virtual void begin(const std::string& solver, const std::vector<std::string>& inputs) = 0;
    virtual void answer(const ANSWER& answer) = 0;
    virtual void finish(const RUN_END& end, const GOAL_ANSWER& goal) = 0;
    // A session's step: its end (models: its answer sets), or its failure.
    virtual void stepFinished(const STEP_OUTCOME& end, const GOAL_ANSWER& goal,
                              unsigned models) = 0;
    virtual void stepFailed(unsigned step) = 0;
    virtual void blockDropped(unsigned step, unsigned line, const std::vector<DIAGNOSTIC>& errors,
                              bool directive) = 0;
    virtual void sequenceSaved(unsigned step, const std::string& file) = 0;
    virtual void goalAnswered(unsigned step, const GOAL_ANSWER& goal, const char* reasoning,
                              unsigned models, bool complete) = 0;
};

// With -v, how long a session's step took.
void stepTime(const STEP_OUTCOME& end) {
    if (end.seconds)
        std::cout << "Step " << end.step << ": answered in " << SecondsText(*end.seconds) << " s."
                  << std::endl;
}

void endTextLine(const std::string& line) {
    std::cout << line << std::endl;
    if (!std::cout) throw END_OF_RUN{1};
}

class TEXT_WRITER final : public ANSWER_WRITER {
public:
    void begin(const std::string&, const std::vector<std::string>&) override { textBegin(); }
    void answer(const ANSWER& answer) override { textAnswer(answer); }
    void finish(const RUN_END& end, const GOAL_ANSWER& goal) override { textEnd(end, goal); }
    // A goal's answer, then with -v the step's time, then the closing line.
    void stepFinished(const STEP_OUTCOME& end, const GOAL_ANSWER& goal, unsigned models) override {
        if (goal.question.asked()) textGoal(goal);
        stepTime(end);
        endTextLine("% " + (end.directive ? end.directive + std::string(": ") : "") + "step " +
                    std::to_string(end.step) + ": " + Counted(models, "answer set") +
                    (end.complete ? "" : ", there may be more"));
    }
    void stepFailed(unsigned) override {}
    void blockDropped(unsigned, unsigned line, const std::vector<DIAGNOSTIC>&,
                      bool directive) override {
        endTextLine("% dropped: " + std::string(directive ? "directive" : "block") + " of line " +
                    std::to_string(line));
    }
    void sequenceSaved(unsigned, const std::string& file) override {
        endTextLine("% saved: " + OnOneLine(file));
    }
    void goalAnswered(unsigned step, const GOAL_ANSWER& goal, const char* reasoning,
                      unsigned models, bool complete) override {
        textGoal(goal);
        endTextLine("% " + std::string(reasoning) + ": step " + std::to_string(step) + ": " +
                    Counted(models, "answer set") + (complete ? "" : ", there may be more"));
    }
};

// One document for the run; a session's steps (which only the JSON lines
// form has) each as a line of their own.
class JSON_WRITER : public ANSWER_WRITER {
public:
    void begin(const std::string& solver, const std::vector<std::string>& inputs) override {
        jsonBegin(solver, inputs);
    }
    void answer(const ANSWER& answer) override { jsonAnswer(answer); }
    void finish(const RUN_END& end, const GOAL_ANSWER& goal) override { jsonEnd(end, goal); }
    void stepFinished(const STEP_OUTCOME& end, const GOAL_ANSWER& goal, unsigned) override {
        stepTime(end);
        linesStepEnd(end, goal.question.asked() ? &goal : nullptr, RUN_END{true, 0});
    }
    void stepFailed(unsigned step) override {
        // The answer sets read may be only some of them: no goal is answered.
        linesStepEnd(STEP_OUTCOME{step, false, std::nullopt}, nullptr, RUN_END{true, 1});
    }
    void blockDropped(unsigned step, unsigned line, const std::vector<DIAGNOSTIC>& errors,
                      bool) override {
        std::string members = ",\n  \"Dropped\": {\n    \"Input\": " + JsonString("<stdin>") +
                              ",\n    \"Line\": " + std::to_string(line) +
                              "\n  },\n  \"Errors\": [";
        for (std::size_t n = 0; n < errors.size(); ++n)
            members += std::string(n ? "," : "") +
                       "\n    {\"Input\": " + JsonString(errors[n].input) +
                       ", \"Line\": " + std::to_string(errors[n].line) +
                       ", \"Message\": " + JsonString(errors[n].message) + "}";
        jsonLine(step, members + (errors.empty() ? "]\n}" : "\n  ]\n}"));
    }
    void sequenceSaved(unsigned step, const std::string& file) override {
        jsonLine(step, ",\n  \"Directive\": \"save\",\n  \"File\": " + JsonString(file) + "\n}");
    }
    void goalAnswered(unsigned step, const GOAL_ANSWER& goal, const char* reasoning, unsigned,
                      bool) override {
        jsonLine(step, ",\n  \"Directive\": \"" + std::string(reasoning) + "\"" + goalObject(goal) +
                           "\n}");
    }
};

// A session's JSON: a document per step, on a line of its own.
class JSON_LINES_WRITER final : public JSON_WRITER {
public:
    void begin(const std::string& solver, const std::vector<std::string>& inputs) override {
        linesBegin(solver, inputs);
    }
    void answer(const ANSWER& answer) override { linesAnswer(answer); }
    void finish(const RUN_END&, const GOAL_ANSWER&) override {}  // with the last step
};

// The writer of the run's format, kept where the ends of the run find it.
ANSWER_WRITER& chosenWriter() {
    static NEVER_DESTROYED<TEXT_WRITER> text;
    static NEVER_DESTROYED<JSON_WRITER> json;
    static NEVER_DESTROYED<JSON_LINES_WRITER> lines;
    switch (formatOf()) {
        case ANSWER_FORMAT::JSON: return json.get();
        case ANSWER_FORMAT::JSON_LINES: return lines.get();
        case ANSWER_FORMAT::TEXT: break;
    }
    return text.get();
}

}  // namespace

void BeginAnswers(const RUN_SETTINGS& run, const std::string& solver,
                  const std::vector<std::string>& inputs) {
    writer().settings = run;
    writer().goalAsked = run.question().asked();
    chosenWriter().begin(solver, inputs);
}

void WriteAnswer(const ANSWER& answer) {
    RUN_SUMMARY& s = RunSummary();
    s.lastModel = PhaseSeconds(PHASE::SOLVING);
    if (s.models == 0) s.firstModel = s.lastModel;
    ++s.models;
    if (settings().asksConsequences()) s.consequences = answer.atoms.size();
    chosenWriter().answer(answer);
}

void FinishAnswers(const RUN_END& end, const GOAL_ANSWER& goal) {
    chosenWriter().finish(end, goal);
}

void BeginStep(unsigned, const GOAL_QUESTION& question) {
    writer().goalAsked = question.asked();
    RunSummary().models = 0;
    document().models = 0;
    document().witnesses.clear();
}

void FinishStep(const STEP_OUTCOME& end, const GOAL_ANSWER& goal) {
    chosenWriter().stepFinished(end, goal, RunSummary().models);
}

void StepFailed(unsigned step) { chosenWriter().stepFailed(step); }

void DroppedBlock(unsigned step, unsigned line, const std::vector<DIAGNOSTIC>& errors,
                  bool directive) {
    chosenWriter().blockDropped(step, line, errors, directive);
}

void SequenceSaved(unsigned step, const std::string& file) {
    chosenWriter().sequenceSaved(step, file);
}

void GoalAnswered(unsigned step, const GOAL_ANSWER& goal, bool complete) {
    const char* reasoning = goal.question.brave ? "brave" : "cautious";
    chosenWriter().goalAnswered(step, goal, reasoning, RunSummary().models, complete);
}

std::string AnswerText(const ANSWER_ATOMS& atoms) {
    std::string text;
    text.reserve(atoms.text.size() + 2);
    text += '{';
    if (breaksLines(atoms.text)) text += OnOneLine(atoms.text);
    else text += atoms.text;
    text += '}';
    return text;
}

std::string OnOneLine(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (char c : text) {
        if (c == '\n') out += "\\n";
        else if (c == '\r') out += "\\r";
        else out += c;
    }
    return out;
}

std::string ExplanationLines(const std::vector<EXPLANATION>& explanations) {
    std::string lines, line;
    for (const EXPLANATION& e : explanations) {
        line =
            "  rejected: program " + std::to_string(e.program) + ", rule " + std::to_string(e.rule);
        if (e.origin) {
            line += " (" + e.input + ":" + std::to_string(e.origin->line) + ") \"" +
                    e.origin->text + "\"";
        }
        if (!e.bindings.empty()) {
            line += " with ";
            for (std::size_t n = 0; n < e.bindings.size(); ++n) {
                if (n) line += ", ";
                line += e.bindings[n].first + " = " + e.bindings[n].second;
            }
            line += ',';
        }
        if (e.by) line += " by " + *e.by;
        if (e.byProgram) line += " of program " + std::to_string(*e.byProgram);
        if (breaksLines(line)) line = OnOneLine(line);
        lines += line;
        lines += '\n';
    }
    return lines;
}
