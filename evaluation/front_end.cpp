#include "front_end.hpp"

#include <fcntl.h>
#include <unistd.h>
#if defined(__GLIBC__)
#include <malloc.h>
#endif

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cstdio>
#include <cstring>

#include "compact.hpp"
#include "reader.hpp"
#include "solver.hpp"
#include "translate.hpp"

namespace vok::evaluation {

namespace {

template <typename T>
bool parseNumber(std::string_view text, T& value) {
    if (text.empty()) return false;
    auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    return ec == std::errc() && end == text.data() + text.size();
}

// The whole file, or an error text.
bool readAll(const std::string& path, std::string& content, std::string& error) {
    int fd = path == "-" ? 0 : ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        error = std::strerror(errno);
        return false;
    }
    char buf[1 << 16];
    for (;;) {
        ssize_t r = ::read(fd, buf, sizeof buf);
        if (r > 0) {
            content.append(buf, static_cast<std::size_t>(r));
        } else if (r == 0) {
            break;
        } else if (errno != EINTR) {
            error = std::strerror(errno);
            if (fd != 0) ::close(fd);
            return false;
        }
    }
    if (fd != 0) ::close(fd);
    return true;
}

bool writeAll(int fd, std::string_view data) {
    while (!data.empty()) {
        ssize_t w = ::write(fd, data.data(), data.size());
        if (w < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        data.remove_prefix(static_cast<std::size_t>(w));
    }
    return true;
}

// Sets what one option (anything but "--" and "-") asks for.
void readOption(OPTIONS& o, const std::string& arg) {
    std::string_view a = arg;
    if (a == "-h" || a == "--help") {
        o.help = true;
    } else if (a.starts_with("-n=")) {
        if (!parseNumber(a.substr(3), o.maxModels))
            throw USAGE_ERROR("-n= needs a number of answer sets (0 for all), not \"" +
                              std::string(a.substr(3)) + "\"");
    } else if (a.starts_with("-N=")) {
        std::int64_t n = 0;
        if (!parseNumber(a.substr(3), n) || n < 0 || n > LargestMaxint)
            throw USAGE_ERROR("-N= needs the largest integer, from 0 to " +
                              std::to_string(LargestMaxint) + ", not \"" +
                              std::string(a.substr(3)) + "\"");
        o.maxint = n;
    } else if (a.starts_with("--clingo=")) {
        o.clingo = arg.substr(9);
        if (o.clingo.empty()) throw USAGE_ERROR("--clingo= needs the path of a solver");
    } else if (a.starts_with("--clingo-option=")) {
        if (a.size() == 16) throw USAGE_ERROR("--clingo-option= needs an option for clingo");
        o.clingoOptions.push_back(arg.substr(16));
    } else {
        throw USAGE_ERROR("unknown option \"" + arg + "\"");
    }
}

// The one FILE among the arguments that are no options.
std::string theFile(const std::vector<std::string>& files) {
    if (files.empty()) throw USAGE_ERROR("no FILE given");
    if (files.size() > 1)
        throw USAGE_ERROR("one FILE expected, but got " + std::to_string(files.size()) + ": \"" +
                          files[0] + "\", \"" + files[1] + "\"" +
                          (files.size() > 2 ? ", ..." : ""));
    return files[0];
}

}  // namespace

OPTIONS ParseOptions(const std::vector<std::string>& args) {
    OPTIONS o;
    std::vector<std::string> files;
    bool optionsEnd = false;
    for (const std::string& arg : args) {
        if (optionsEnd || arg == "-" || !arg.starts_with("-")) files.push_back(arg);
        else if (arg == "--") optionsEnd = true;
        else readOption(o, arg);
    }
    if (o.help) return o;
    o.file = theFile(files);
    return o;
}

std::string ProgramName(FILE_FORM form) {
    return form == FILE_FORM::ROX ? "rox-clingo" : "pexa-clingo";
}

std::string Usage(FILE_FORM form) {
    std::string name = ProgramName(form);
    std::string text = "Usage: " + name + " [OPTIONS] FILE\n";
    if (form == FILE_FORM::ROX)
        text +=
            "Computes the answer sets of the program in FILE (rules such as\n"
            "\"a v -b(X) :- c(X), not d.\", builtins ==, !=, <, >, <=, >=, #int,\n"
            "#succ, + and *) with clingo.\n";
    else
        text +=
            "Computes the answer sets of the propositional program in FILE\n"
            "(\"@SET FUNCTION\", \"@LP({\", items such as \"a :- b, ~c.\" separated\n"
            "by \",\", \"})\") with clingo.\n";
    text +=
        "Each answer set is printed on a line of its own as {a, b, ...}, in the\n"
        "order clingo finds them (with one thread, its default, that order is\n"
        "always the same); the atoms of each are sorted by their text. FILE \"-\"\n"
        "reads standard input.\n"
        "\n"
        "OPTIONS:\n"
        "  -n=<k>                 print at most k answer sets (0, the default: all)\n"
        "  -N=<n>                 integers for #int, #succ, + and * are 0..n\n"
        "  --clingo=<path>        run this solver instead of clingo found in PATH\n"
        "  --clingo-option=<opt>  pass <opt> to clingo (repeatable), for example\n"
        "                         --clingo-option=--time-limit=60; --models, --outf\n"
        "                         and --verbose are set by " +
        name +
        "\n"
        "  -h, --help             print this text\n"
        "\n"
        "Exit status: 0 solving finished (with or without answer sets), 1 FILE\n"
        "cannot be read or holds a program that is refused, 2 a wrong command\n"
        "line, 3 clingo could not be run, failed or did not finish, or the\n"
        "answer sets could not be written.\n";
    return text;
}

namespace {

// One message on standard error: "rox-clingo: message".
void complain(FILE_FORM form, const std::string& message) {
    writeAll(2, ProgramName(form) + ": " + message + "\n");
}

// The text of the file ("-": standard input), or nothing after a complaint.
std::optional<std::string> fileText(FILE_FORM form, const std::string& file, bool stdinClosed) {
    // A closed standard input is no empty program.
    if (file == "-" && stdinClosed) {
        complain(form, "cannot read standard input: it is closed");
        return std::nullopt;
    }
    std::string text, error;
    if (!readAll(file, text, error)) {
        complain(form, "cannot read " + file + ": " + error);
        return std::nullopt;
    }
    return text;
}

// clingo options that change neither what is solved nor what is printed of
// it. Any other option (--text, --mode=gringo, --warn=..., ...) may show the
// text itself, or messages about its lines, so it gets the plain text.
bool keepsCompactText(std::string_view option) {
    return option.starts_with("--time-limit=") || option == "--stats" ||
           option.starts_with("--stats=");
}

// Whether the run may hand clingo the compact text of a large program
// (compact.hpp decides, from the program, whether it is used).
bool mayCompact(const OPTIONS& options) {
    return std::all_of(options.clingoOptions.begin(), options.clingoOptions.end(),
                       [](const std::string& o) { return keepsCompactText(o); });
}

// The program of the file's text in clingo's language, or nothing after a
// complaint about the line where it is at fault.
std::optional<CLINGO_TEXT> clingoProgram(FILE_FORM form, const OPTIONS& options, std::string text) {
    try {
        PROGRAM program = form == FILE_FORM::ROX ? ReadRox(text) : ReadPexa(text);
        text = std::string();  // the file's text is no longer needed
        if (!mayCompact(options)) return CLINGO_TEXT{Translate(program, options.maxint), {}};
        return TranslateCompact(program, options.maxint);
    } catch (const SYNTAX_ERROR& e) {
        complain(form, options.file + ": line " + std::to_string(e.line) + ": " + e.what());
    } catch (const TRANSLATE_ERROR& e) {
        complain(form, options.file + ": line " + std::to_string(e.line) + ": " + e.what());
    }
    return std::nullopt;
}

// The program read from a large file took many small blocks, which the
// allocator keeps for this process after they are freed; while clingo runs,
// this process only holds the text it hands over, so the rest goes back to
// the system.
void giveMemoryBack() {
#if defined(__GLIBC__)
    ::malloc_trim(0);
#endif
}

// Runs clingo on the program and prints its answer sets on standard
// output; the exit status.
int printAnswerSets(FILE_FORM form, const OPTIONS& options, const CLINGO_TEXT& program) {
    SOLVER_CALL call;
    call.clingo = options.clingo;
    call.options = options.clingoOptions;
    call.maxModels = options.maxModels;
    if (!program.data.texts.empty()) call.dataNames = &program.data.texts;
    SOLVER_OUTCOME outcome =
        Solve(call, program.text, [](std::string_view line) { return writeAll(1, line); });
    if (outcome.finished) return ExitFinished;
    complain(form, outcome.error);
    return ExitSolverFailed;
}

}  // namespace

int Run(FILE_FORM form, int argc, char** argv) {
    const unsigned closed = EnsureStandardDescriptors();
    OPTIONS options;
    try {
        options = ParseOptions(std::vector<std::string>(argv + 1, argv + argc));
    } catch (const USAGE_ERROR& e) {
        complain(form, std::string(e.what()) + " (see " + ProgramName(form) + " --help)");
        return ExitBadUsage;
    }
    // Answer sets written to a closed standard output would be lost without a
    // word.
    if (closed & 2u) {
        complain(form, "standard output is closed");
        return ExitSolverFailed;
    }
    if (options.help) return writeAll(1, Usage(form)) ? ExitFinished : ExitSolverFailed;

    std::optional<std::string> text = fileText(form, options.file, closed & 1u);
    if (!text) return ExitBadProgram;
    std::optional<CLINGO_TEXT> program = clingoProgram(form, options, std::move(*text));
    if (!program) return ExitBadProgram;
    giveMemoryBack();
    return printAnswerSets(form, options, *program);
}

}  // namespace vok::evaluation
