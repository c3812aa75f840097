// Fuzz target: the whole translation. The first byte selects the options
// (program type, -min, -strict, -integral, -O=, -debug), the rest is one
// input file; whatever the parser stored is rewritten, reported, and written
// in the selected form and in the other one. What is written must be read
// by the evaluation programs' readers without a syntax error (the rox form
// always, the pexa form when the program is propositional) when it was read
// without errors; the rox form must also give a compact clingo text (with
// thresholds low enough for small programs to form tables) whose data atoms
// all name a predicate and whose table rules bind every variable, and which
// is refused exactly where the plain text is. With -min or -strict (and
// not -integral) it writes the rejection declarations of --one-run, and the
// one-run script after each compact text must name the declared predicates
// as that text writes them. (Errors in standard input do not stop a run,
// and a name cut to 31 characters may have lost its closing quote.)
#include <stdlib.h>
#include <unistd.h>

#include <fstream>
#include <sstream>
#include <string>

#include "driver/output/report.hpp"
#include "driver/run/program_file.hpp"
#include "driver/run_state.hpp"
#include "evaluation/clingo/compact.hpp"
#include "evaluation/clingo/one_run.hpp"
#include "evaluation/clingo/translate.hpp"
#include "evaluation/program/declarations.hpp"
#include "evaluation/program/reader.hpp"
#include "fuzz_support.hpp"
#include "rewriting/rewriting.hpp"

namespace {

// A name for the program file, made once; the file itself lives only from
// each write to its reading.
const std::string& programFile() {
    static const std::string name = [] {
        char pattern[] = "/tmp/vok-fuzz-translate.XXXXXX";
        int fd = ::mkstemp(pattern);
        if (fd >= 0) ::close(fd);
        return std::string(pattern);
    }();
    return name;
}

// A program read for rox may hold builtins and double negation, which the
// pexa form cannot express; a real run refuses them already while reading
// for pexa, so the pexa reader is only asked about programs without them.
bool beyondPexa(const TRANSLATION& t) {
    auto builtin = [](const ATOM& a) {
        return a.predicate < ATOM::Predicates.size() &&
               ATOM::Predicates.type(a.predicate) == PREDICATE_NAMES::BUILTIN_PREDICATE;
    };
    auto inBody = [&](const BODY_VIEW& body) {
        for (const LITERAL& l : body.literals)
            if (builtin(l) || l.doubled) return true;
        return false;
    };
    for (const RULES* rules : {&t.rules, &t.minRules})
        for (const RULE& r : *rules)
            if (r.body() && inBody(*r.body())) return true;
    for (const std::vector<CONSTRAINT>* cs : {&t.constraints, &t.minConstraints})
        for (const CONSTRAINT& c : *cs)
            if (inBody(c)) return true;
    return false;
}

// The number written at text[pos...], advancing pos; -1 when there is none.
long numberAt(std::string_view text, std::size_t& pos) {
    long n = -1;
    while (pos < text.size() && text[pos] >= '0' && text[pos] <= '9' && n < 1000000000)
        n = (n < 0 ? 0 : n * 10) + (text[pos++] - '0');
    return n;
}

// Every data atom g'F(id,...) of the text names a predicate of family F
// (the #show statements name families only: g'F/k). Only a name outside a
// string begins with g': inside an encoded name (s'..neg'97..) or a string
// ("-g'q") it is no data atom.
bool dataAtomsDecode(std::string_view text, const vok::evaluation::DATA_NAMES& data) {
    auto inName = [](char c) {
        return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
               c == '_' || c == '\'';
    };
    bool inString = false;
    for (std::size_t at = 0; at + 1 < text.size(); ++at) {
        if (inString) {
            if (text[at] == '\\') ++at;
            else if (text[at] == '"') inString = false;
            continue;
        }
        inString = text[at] == '"';
        if (text[at] != 'g' || text[at + 1] != '\'' || (at > 0 && inName(text[at - 1]))) continue;
        std::size_t pos = at + 2;
        const long family = numberAt(text, pos);
        if (family >= 0 && pos < text.size() && text[pos] == '/') continue;  // in #show
        if (family < 0 || pos >= text.size() || text[pos] != '(') return false;
        ++pos;
        if (pos < text.size() && text[pos] == 'V') continue;  // in a table rule
        const long id = numberAt(text, pos);
        if (id < 0 || static_cast<std::size_t>(id) >= data.texts.size() ||
            data.family[static_cast<std::size_t>(id)] != static_cast<unsigned long>(family))
            return false;
    }
    return true;
}

// Each table rule "... :- t'N(V0,...,Vk), ..." uses no variable beyond the
// table's columns, so clingo finds it safe.
bool tableRulesSafe(std::string_view text) {
    std::size_t start = 0;
    for (std::size_t end; (end = text.find('\n', start)) != std::string_view::npos;
         start = end + 1) {
        const std::string_view line = text.substr(start, end - start);
        const std::size_t table = line.find(":- t'");
        if (table == std::string_view::npos) continue;
        const std::size_t close = line.find(')', table);
        if (close == std::string_view::npos) return false;
        // Variables are "V<n>" right after "(" or ","; no encoded name holds
        // either character.
        long columns = 1;
        for (std::size_t i = table; i < close; ++i) columns += line[i] == ',';
        for (std::size_t i = 1; i < line.size(); ++i)
            if (line[i] == 'V' && (line[i - 1] == '(' || line[i - 1] == ',')) {
                std::size_t pos = i + 1;
                if (numberAt(line, pos) >= columns) return false;
            }
    }
    return true;
}

// The one-run script after a compact text: each line of its data names a
// declared rejection predicate, with its arity and level, by name or, for
// one written as data, by the family and id of the name; and only the
// predicates no rule of the text heads are left out.
bool oneRunDataMatches(const vok::evaluation::REJECTION_LIST& list,
                       const std::vector<std::uint32_t>& numbers,
                       const vok::evaluation::CLINGO_TEXT& t) {
    using namespace vok::evaluation;
    const std::string script = OneRunScript(list, numbers, t, true, 0);
    const std::string_view open = "local rejections = [==[\n";
    const std::size_t at = script.find(open) + open.size();
    std::istringstream data(script.substr(at, script.find("]==]", at) - at));
    auto headed = [&](std::size_t i) {
        return numbers[i] >= t.headed.size() || t.headed[numbers[i]];
    };
    // The declared predicates come in order, those no rule heads left out.
    std::size_t next = 0;
    for (std::string name; data >> name; ++next) {
        while (next < list.predicates.size() && !headed(next)) ++next;
        if (next == list.predicates.size()) return false;
        const REJECTION_PREDICATE& p = list.predicates[next];
        const NAME declared(NAME::KIND::IDENTIFIER, p.name, numbers[next]);
        const std::uint32_t* id = findDataName(t.data, declared);
        unsigned arity = 0, level = 0, written = 0;
        data >> arity >> level;
        if (id) data >> written;
        if (name != (id ? DataPrefix + std::to_string(t.data.family[*id])
                        : encodePredicate(declared)) ||
            arity != p.arity + (id ? 1 : 0) || level != p.level || (id && written != *id))
            return false;
    }
    for (; next < list.predicates.size(); ++next)
        if (headed(next)) return false;
    return true;
}

// The compact text with small thresholds, checked as above.
void checkCompactText(const vok::evaluation::PROGRAM& program) {
    bool plainRefused = false;
    try {
        vok::evaluation::Translate(program, 100);
    } catch (const vok::evaluation::TRANSLATE_ERROR&) {
        plainRefused = true;
    }
    // What vok writes for --one-run declares its rejection predicates
    // rightly, or nothing.
    const vok::evaluation::REJECTION_LIST list =
        vok::evaluation::ReadRejectionList(program.declarations);
    const std::vector<std::uint32_t> numbers =
        list.closed ? vok::evaluation::CheckRejectionList(list, program)
                    : std::vector<std::uint32_t>();
    for (std::size_t threshold = 1; threshold <= 3; ++threshold) {
        try {
            const auto t = vok::evaluation::TranslateCompact(program, 100, threshold);
            if (plainRefused || !dataAtomsDecode(t.text, t.data) || !tableRulesSafe(t.text))
                __builtin_trap();
            if (list.closed && !oneRunDataMatches(list, numbers, t)) __builtin_trap();
        } catch (const vok::evaluation::TRANSLATE_ERROR&) {
            if (!plainRefused) __builtin_trap();
        }
    }
}

// Writes the program in the current form and reads it back as the
// evaluation program would.
void storeAndRead(const TRANSLATION& t, PROGRAM_FILE kind, const RULES* extra) {
    StoreToFile(t, programFile(), kind, extra);
    std::ifstream in(programFile(), std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    ::unlink(programFile().c_str());
    if (TestParser().errors != 0) return;
    try {
        if (t.notation == NOTATION::PEXA) {
            if (TestSequence().propositional && !beyondPexa(t))
                vok::evaluation::ReadPexa(text.str());
        } else {
            checkCompactText(vok::evaluation::ReadRox(text.str()));
        }
    } catch (const vok::evaluation::SYNTAX_ERROR&) {
        __builtin_trap();
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    const std::uint8_t mode = fuzz::beginRun(data, size, true);
    RUN_SETTINGS settings;
    settings.programType = TestParseSettings().programType;
    settings.minimal = mode & 4;
    settings.strict = mode & 8;
    settings.integral = mode & 16;
    // --one-run goes with -min or -strict, never with -integral.
    settings.oneRun = (settings.minimal || settings.strict) && !settings.integral;
    settings.optimize = mode & 32 ? OPTIMIZATION::ALL : OPTIMIZATION::SUCCINT;
    settings.debug = mode & 64;
    settings.verbose = mode & 128;
    if (fuzz::parseInput(data, size, true) < 0) return -1;

    // As the driver does it: errors in standard input do not stop the run,
    // so the rewriting must take whatever the parser stored.
    TRANSLATION t;
    t.notation = settings.notation();
    if (!TestSequence().programs.empty())
        UpdateRewriting(TestSequence().programs, TestSequence().constraints,
                        RunRewritingSettings(settings), t);
    PrintStatistics(std::cout, t, settings);
    PrintDebugReport(std::cerr, t, settings);
    storeAndRead(t,
                 settings.integral ? PROGRAM_FILE::INTEGRAL
                 : settings.oneRun ? PROGRAM_FILE::ONE_RUN
                                   : PROGRAM_FILE::PLAIN,
                 nullptr);
    // The same translation in the other form.
    t.notation = t.notation == NOTATION::PEXA ? NOTATION::INPUT : NOTATION::PEXA;
    storeAndRead(t, PROGRAM_FILE::INTEGRAL, &t.minRules);
    return 0;
}
