// The entry point: reads the command line, parses the inputs, rewrites the
// update sequence, writes the program file, runs the evaluation program and
// prints the answer of a goal query.
#include <cstdio>
#include <cstring>
#include <iostream>
#include <string>

#include "base/exits.hpp"
#include "base/options.hpp"
#include "driver/execute.hpp"
#include "driver/goal.hpp"
#include "driver/output.hpp"
#include "driver/report.hpp"
#include "input/parser.hpp"
#include "rewriting/rewriting.hpp"

#ifndef VOK_BUILD_ID
#define VOK_BUILD_ID "unknown"
#endif

#if defined(__clang__)
#define VOK_COMPILER "clang " __clang_version__
#elif defined(__GNUC__)
#define VOK_COMPILER "g++ " __VERSION__
#else
#define VOK_COMPILER "unknown compiler"
#endif

namespace {

struct Arguments {
    std::string program;  // -p=
    std::string options;  // -o=
    std::string file;     // -f=
    bool readStdin = false;
    int firstInput = 0;
};

void printBanner(std::ostream& out) {
    out << "vok [build " << VOK_BUILD_ID << "/" << __DATE__ << "   " << VOK_COMPILER << "]\n"
        << std::endl;
}

void printUsage(std::ostream& out) {
    out << "usage:  " << WhoAmI << " {OPTIONS}" << " [filename [filename [...]]]\n"
        << "\n"
        << "Options:\n"
        << "-f=<file>    Store rewritten update program in <file>.\n"
        << "-FB=<goal>   Brave reasoning for <goal>.\n"
        << "-FC=<goal>   Cautious reasoning for <goal>.\n"
        << "-min         Compute minimal updates.\n"
        << "-o=<opts>    Pass <opts> as options to evaluation program.\n"
        << "-O=<opt>     Rewrite using optimization <opt>.\n"
        << "-P=<type>    Produce output for evaluation program of <type>.\n"
        << "-p=<prog>    Path to evaluation program <prog>.\n"
        << "-silent      Suppress the startup banner and blank lines.\n"
        << "-stdin       Also read input from stdin.\n"
        << "-strict      Compute strict minimal updates.\n"
        << "-v           Be a bit more verbose than usual.\n"
        << "-wait        Before terminating, wait until Return is pressed.\n"
        << "\n"
        << "Default options: -O=succint -P=rox\n"
        << std::endl;
}

// The value of arg after prefix, or null when arg does not begin with it.
const char* valueOf(const char* arg, const char* prefix) {
    std::size_t n = std::strlen(prefix);
    return std::strncmp(arg, prefix, n) == 0 ? arg + n : nullptr;
}

Arguments readOptions(int argc, char** argv) {
    Arguments a;
    int i = 1;
    for (; i < argc; ++i) {
        const char* arg = argv[i];
        if (arg[0] != '-') break;
        const std::string exact(arg);
        const char* v;
        if ((v = valueOf(arg, "-f="))) {
            if (*v) {
                a.file = v;
                OptionStore = true;
            }
        } else if ((v = valueOf(arg, "-FB="))) {
            if (*v) Goal = v;
            OptionBrave = true;
        } else if ((v = valueOf(arg, "-FC="))) {
            if (*v) Goal = v;
            OptionCautious = true;
        } else if (exact == "-integral") {
            OptionIntegral = true;
        } else if (exact == "-min") {
            OptionMinimal = true;
        } else if ((v = valueOf(arg, "-o="))) {
            if (*v) a.options = v;
        } else if ((v = valueOf(arg, "-O="))) {
            OptionOptimize = std::strcmp(v, "succint") == 0 ? 2 : 1;
        } else if ((v = valueOf(arg, "-P="))) {
            OptionProgram = std::strcmp(v, "rox") == 0 ? 1 : std::strcmp(v, "pexa") == 0 ? 2 : 0;
        } else if ((v = valueOf(arg, "-p="))) {
            if (*v) a.program = v;
        } else if (exact == "-v") {
            OptionVerbosity = true;
        } else if (exact == "-debug") {
            OptionDebug = true;
        } else if (exact == "-silent") {
            OptionSilent = true;
        } else if (exact == "-stats") {
            OptionStats = true;
        } else if (exact == "-stdin") {
            a.readStdin = true;
        } else if (exact == "-strict") {
            OptionStrict = true;
        } else if (exact == "-wait") {
            OptionWait = true;
        } else if (exact == "-help" || exact == "-h") {
            printBanner(std::cout);
            printUsage(std::cout);
            std::exit(0);
        } else if (exact == "--") {
            ++i;
            break;
        } else {
            printBanner(std::cout);
            printUsage(std::cerr);
            std::exit(255);
        }
    }
    a.firstInput = i;
    return a;
}

void parseFile(const char* name) {
    parser_file = name;
    parser_line = 0;
    FILE* in = std::fopen(name, "r");
    if (!in) {
        yyerror("can't open input");
        return;
    }
    if (OptionVerbosity) std::cout << "Reading \"" << name << "\"" << std::endl;
    parser_line = 1;
    yyin = in;
    yyrestart(in);
    yyparse();
    std::fclose(in);
}

void parseStdin() {
    parser_file = "";
    parser_line = 1;
    yyin = stdin;
    yyrestart(stdin);
    yyparse();
}

// The -f= file, or a new temporary file in /tmp or else the working
// directory.
std::string chooseOutputFile(const Arguments& a) {
    if (OptionStore) return a.file;
    std::string name = CreateTemporaryFile("/tmp");
    if (name.empty()) name = CreateTemporaryFile("");
    if (name.empty()) {
        std::cerr << "Could not open file temp.vok. Aborting." << std::endl;
        SafeExit(1);
    }
    return name;
}

}  // namespace

int main(int argc, char** argv) {
    WhoAmI = argc > 0 ? argv[0] : "vok";
    Arguments args = readOptions(argc, argv);
    if (!OptionSilent) printBanner(std::cout);

    if (OptionBrave && OptionCautious) {
        std::cerr << "Cannot reason cautiously and brave concurrently." << std::endl;
        SafeExit(1);
    }
    if ((OptionBrave || OptionCautious) && !IsValidGoal()) {
        std::cerr << "Invalid goal: " << Goal << "." << std::endl;
        SafeExit(1);
    }

    initBuiltins();
    for (int i = args.firstInput; i < argc; ++i) parseFile(argv[i]);
    if (parser_errors != 0) {
        std::cerr << "Aborting due to parser errors." << std::endl;
        SafeExit(1);
    }
    if (args.readStdin) parseStdin();

    UpdatesExist = !UpdateIDs.empty();
    if (UpdatesExist) {
        if (OptionVerbosity) std::cout << "Rewriting updates ..." << std::endl;
        UpdateRewriting(UpdateIDs);
    }
    if (OptionVerbosity) PrintStatistics(std::cout);
    if (OptionDebug) PrintDebugReport(std::cerr);

    std::string file = chooseOutputFile(args);
    StoreToFile(file, OptionIntegral, nullptr);

    int status = 0;
    bool found = false;
    bool answer = !OptionBrave;
    std::string witness;
    if (!args.program.empty()) {
        status = ExecuteProgram(args.program, args.options, file, found, answer, witness);
    } else if (!OptionStore) {
        RemoveFile(file);
        UnregisterTemporaryFile(file);
    }

    if (OptionCautious || OptionBrave) {
        std::cout << (answer ? "true" : "false") << "." << std::endl;
        if ((OptionBrave && answer) || (OptionCautious && !answer)) std::cout << witness << std::endl;
    }
    if (OptionVerbosity) std::cout << std::endl;
    SafeExit(status);
}
