#include "front_end.hpp"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <charconv>
#include <cstdio>
#include <cstring>

#include "reader.hpp"
#include "solver.hpp"
#include "translate.hpp"

namespace vok::evaluation {

namespace {

template <typename T>
bool parse_number(std::string_view text, T& value) {
    if (text.empty()) return false;
    auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    return ec == std::errc() && end == text.data() + text.size();
}

// The whole file, or an error text.
bool read_all(const std::string& path, std::string& content, std::string& error) {
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

bool write_all(int fd, std::string_view data) {
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

}  // namespace

Options parse_options(const std::vector<std::string>& args) {
    Options o;
    std::vector<std::string> files;
    bool options_end = false;
    for (const std::string& arg : args) {
        std::string_view a = arg;
        if (options_end || a == "-" || !a.starts_with("-")) {
            files.push_back(arg);
        } else if (a == "--") {
            options_end = true;
        } else if (a == "-h" || a == "--help") {
            o.help = true;
        } else if (a.starts_with("-n=")) {
            if (!parse_number(a.substr(3), o.max_models))
                throw UsageError("-n= needs a number of answer sets (0 for all), not \"" +
                                 std::string(a.substr(3)) + "\"");
        } else if (a.starts_with("-N=")) {
            std::int64_t n = 0;
            if (!parse_number(a.substr(3), n) || n < 0 || n > largest_maxint)
                throw UsageError("-N= needs the largest integer, from 0 to " +
                                 std::to_string(largest_maxint) + ", not \"" +
                                 std::string(a.substr(3)) + "\"");
            o.maxint = n;
        } else if (a.starts_with("--clingo=")) {
            o.clingo = arg.substr(9);
            if (o.clingo.empty()) throw UsageError("--clingo= needs the path of a solver");
        } else if (a.starts_with("--clingo-option=")) {
            if (a.size() == 16) throw UsageError("--clingo-option= needs an option for clingo");
            o.clingo_options.push_back(arg.substr(16));
        } else {
            throw UsageError("unknown option \"" + arg + "\"");
        }
    }
    if (o.help) return o;
    if (files.empty()) throw UsageError("no FILE given");
    if (files.size() > 1)
        throw UsageError("one FILE expected, but got " + std::to_string(files.size()) + ": \"" +
                         files[0] + "\", \"" + files[1] + "\"" + (files.size() > 2 ? ", ..." : ""));
    o.file = files[0];
    return o;
}

std::string program_name(FileForm form) {
    return form == FileForm::Rox ? "rox-clingo" : "pexa-clingo";
}

std::string usage(FileForm form) {
    std::string name = program_name(form);
    std::string text = "Usage: " + name + " [OPTIONS] FILE\n";
    if (form == FileForm::Rox)
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
        "Options:\n"
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

int run(FileForm form, int argc, char** argv) {
    const unsigned closed = ensure_standard_descriptors();
    const std::string name = program_name(form);
    auto complain = [&](const std::string& message) {
        std::string line = name + ": " + message + "\n";
        write_all(2, line);
    };

    Options options;
    try {
        options = parse_options(std::vector<std::string>(argv + 1, argv + argc));
    } catch (const UsageError& e) {
        complain(std::string(e.what()) + " (see " + name + " --help)");
        return exit_bad_usage;
    }
    // Answer sets written to a closed standard output would be lost without a
    // word; a closed standard input is no empty program.
    if (closed & 2u) {
        complain("standard output is closed");
        return exit_solver_failed;
    }
    if (options.help) {
        return write_all(1, usage(form)) ? exit_finished : exit_solver_failed;
    }

    std::string text, error;
    if (options.file == "-" && (closed & 1u)) {
        complain("cannot read standard input: it is closed");
        return exit_bad_program;
    }
    if (!read_all(options.file, text, error)) {
        complain("cannot read " + options.file + ": " + error);
        return exit_bad_program;
    }
    std::string clingo_program;
    try {
        Program program = form == FileForm::Rox ? read_rox(text) : read_pexa(text);
        text = std::string();  // the file's text is no longer needed
        clingo_program = translate(program, options.maxint);
    } catch (const SyntaxError& e) {
        complain(options.file + ": line " + std::to_string(e.line()) + ": " + e.what());
        return exit_bad_program;
    } catch (const TranslateError& e) {
        complain(options.file + ": line " + std::to_string(e.line()) + ": " + e.what());
        return exit_bad_program;
    }

    SolverCall call;
    call.clingo = options.clingo;
    call.options = options.clingo_options;
    call.max_models = options.max_models;
    SolverOutcome outcome =
        solve(call, clingo_program, [](std::string_view line) { return write_all(1, line); });
    if (!outcome.finished) {
        complain(outcome.error);
        return exit_solver_failed;
    }
    return exit_finished;
}

}  // namespace vok::evaluation
