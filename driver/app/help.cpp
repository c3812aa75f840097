#include "help.hpp"

#include <cstring>

#include "driver/app/options.hpp"

#ifndef VOK_BUILD_ID
#define VOK_BUILD_ID "unknown"
#endif
#ifndef VOK_VERSION
#define VOK_VERSION "unknown"
#endif

#if defined(__clang__)
#define VOK_COMPILER "clang " __clang_version__
#elif defined(__GNUC__)
#define VOK_COMPILER "g++ " __VERSION__
#else
#define VOK_COMPILER "unknown compiler"
#endif

namespace {

const char* const BuildLine = "vok [build " VOK_BUILD_ID "/" __DATE__ "   " VOK_COMPILER "]";

// The descriptions begin in this column; forms as long or longer stand on
// a line of their own.
constexpr std::size_t DescriptionColumn = 13;

void printOption(std::ostream& out, const OPTION& option) {
    const std::size_t length = std::strlen(option.forms);
    out << option.forms;
    if (length < DescriptionColumn) out << std::string(DescriptionColumn - length, ' ');
    else out << "\n" << std::string(DescriptionColumn, ' ');
    bool first = true;
    for (const char* line : option.help) {
        if (!first) out << std::string(DescriptionColumn, ' ');
        out << line << "\n";
        first = false;
    }
}

void printSection(std::ostream& out, HELP_SECTION section) {
    for (const OPTION& option : OptionTable())
        if (option.section == section) printOption(out, option);
}

}  // namespace

void PrintBanner(std::ostream& out) { out << BuildLine << "\n" << std::endl; }

void PrintUsage(std::ostream& out, const char* invocation) {
    out << "usage:  " << invocation << " {OPTIONS}"
        << " [filename [filename [...]]]\n"
        << "\n"
        << "Options:\n";
    printSection(out, HELP_SECTION::USAGE);
    out << "\n"
        << "Default options: -O=succint -P=rox\n"
        << std::endl;
}

void PrintMoreHelp(std::ostream& out) {
    out << "More options:\n";
    printSection(out, HELP_SECTION::MORE);
    out << "\n"
        << "Extensions:\n";
    printSection(out, HELP_SECTION::EXTENSIONS);
    out << "\n"
        << "Answer sets: without -p=, vok runs rox-clingo (with -P=pexa: pexa-clingo)\n"
        << "from its own folder, else from PATH; with -f= and no -p= it only writes the\n"
        << "program. -p=<prog> names another: a path, or a name looked up in PATH,\n"
        << "started without a shell. Options for it go in -o=, split at blanks, for\n"
        << "example -o=-N=20 for the arithmetic builtins. Temporary files go to TMPDIR\n"
        << "(/tmp without it).\n"
        << "\n"
        << "Exit status: 0 normal end; 1 the run stopped on an error; 2 a fatal scanner\n"
        << "condition; 3 the time limit was reached (or the evaluation program failed);\n"
        << "99 an internal error; 255 an unknown option; otherwise the evaluation\n"
        << "program's status.\n";
}

void PrintVersion(std::ostream& out) { out << "vok " << VOK_VERSION << "\n" << BuildLine << "\n"; }
