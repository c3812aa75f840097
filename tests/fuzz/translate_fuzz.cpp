// Fuzz target: the whole translation. The first byte selects the options
// (program type, -min, -strict, -integral, -O=, -debug), the rest is one
// input file; whatever the parser stored is rewritten, reported, and written
// in the selected form and in the other one. What is written must be read
// by the evaluation programs' readers without a syntax error (the rox form
// always, the pexa form when the program is propositional) when it was read
// without errors. (Errors in standard input do not stop a run, and a name
// cut to 31 characters may have lost its closing quote.)
#include <stdlib.h>
#include <unistd.h>

#include <fstream>
#include <sstream>
#include <string>

#include "driver/output.hpp"
#include "driver/report.hpp"
#include "fuzz_support.hpp"
#include "reader.hpp"
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

// A program read for rox may hold builtins, which the pexa form cannot
// express; a real run refuses them already while reading for pexa, so the
// pexa reader is only asked about programs without them.
bool usesBuiltins() {
    auto builtin = [](const ATOM& a) {
        return a.predicate < ATOM::Predicates.size() &&
               ATOM::Predicates.type(a.predicate) == PREDICATE_NAMES::BUILTIN_PREDICATE;
    };
    auto inBody = [&](const BODY_VIEW& body) {
        for (const LITERAL& l : body.literals)
            if (builtin(l)) return true;
        return false;
    };
    for (const RULES* rules : {&Pupd, &MinRules})
        for (const RULE& r : *rules)
            if (r.body() && inBody(*r.body())) return true;
    for (const std::vector<CONSTRAINT>* cs : {&Constraints, &MinConstraints})
        for (const CONSTRAINT& c : *cs)
            if (inBody(c)) return true;
    return false;
}

// Writes the program in the current form and reads it back as the
// evaluation program would.
void storeAndRead(bool integral, const RULES* extra) {
    StoreToFile(programFile(), integral, extra);
    std::ifstream in(programFile(), std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    ::unlink(programFile().c_str());
    if (parser_errors != 0) return;
    try {
        if (OptionProgram == 2) {
            if (IsPropositional && !usesBuiltins()) vok::evaluation::ReadPexa(text.str());
        } else {
            vok::evaluation::ReadRox(text.str());
        }
    } catch (const vok::evaluation::SYNTAX_ERROR&) {
        __builtin_trap();
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    const std::uint8_t mode = fuzz::beginRun(data, size, true);
    const int program = OptionProgram;
    OptionMinimal = mode & 4;
    OptionStrict = mode & 8;
    OptionIntegral = mode & 16;
    OptionOptimize = mode & 32 ? 1 : 2;
    OptionDebug = mode & 64;
    OptionVerbosity = mode & 128;
    if (fuzz::parseInput(data, size, true) < 0) return -1;

    // As the driver does it: errors in standard input do not stop the run,
    // so the rewriting must take whatever the parser stored.
    if (!UpdateIDs.empty()) UpdateRewriting(UpdateIDs);
    PrintStatistics(std::cout);
    PrintDebugReport(std::cerr);
    storeAndRead(OptionIntegral, nullptr);
    OptionProgram = program == 2 ? 1 : 2;
    storeAndRead(true, &MinRules);
    OptionProgram = program;
    return 0;
}
