#include "evaluation/front_end/options.hpp"

#include <charconv>

#include "common/contract.hpp"
#include "evaluation/clingo/translate.hpp"

namespace vok::evaluation {

namespace {

template <typename T>
bool parseNumber(std::string_view text, T& value) {
    if (text.empty()) return false;
    auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    return ec == std::errc() && end == text.data() + text.size();
}

// --minimal=min or --minimal=strict. A second one could only contradict
// the first (a user's -o= option against vok's own), so it is refused.
void readMinimality(OPTIONS& o, std::string_view mode) {
    if (o.minimal != MINIMALITY::NONE)
        throw USAGE_ERROR(std::string(MinimalOption) + " given twice");
    if (mode == MinimalMode) o.minimal = MINIMALITY::MIN;
    else if (mode == StrictMinimalMode) o.minimal = MINIMALITY::STRICT;
    else
        throw USAGE_ERROR(std::string(MinimalOption) + " needs \"" + std::string(MinimalMode) +
                          "\" or \"" + std::string(StrictMinimalMode) + "\", not \"" +
                          std::string(mode) + "\"");
}

// --consequences=brave or --consequences=cautious.
void readConsequences(OPTIONS& o, std::string_view mode) {
    if (mode == BraveMode) o.consequences = CONSEQUENCES::BRAVE;
    else if (mode == CautiousMode) o.consequences = CONSEQUENCES::CAUTIOUS;
    else
        throw USAGE_ERROR(std::string(ConsequencesOption) + " needs \"" + std::string(BraveMode) +
                          "\" or \"" + std::string(CautiousMode) + "\", not \"" +
                          std::string(mode) + "\"");
}

void readModels(OPTIONS& o, std::string_view name, std::string_view value) {
    if (!parseNumber(value, o.maxModels))
        throw USAGE_ERROR(std::string(name) + " needs a number of answer sets (0 for all), not \"" +
                          std::string(value) + "\"");
}

// The value of an option written "-n 1" or "--models 1": the next argument.
const std::string& nextValue(const std::vector<std::string>& args, std::size_t i) {
    if (i + 1 >= args.size())
        throw USAGE_ERROR(args[i] + " needs a number of answer sets (0 for all)");
    return args[i + 1];
}

// Sets what the option args[i] (anything but "--" and "-") asks for;
// returns how many arguments it took, 2 when its value is the next one.
std::size_t readOption(OPTIONS& o, const std::vector<std::string>& args, std::size_t i) {
    const std::string& arg = args[i];
    std::string_view a = arg;
    if (a == "-h" || a == "--help") {
        o.help = true;
    } else if (a.starts_with(MinimalOption)) {
        readMinimality(o, a.substr(MinimalOption.size()));
    } else if (a == "--version") {
        o.version = true;
    } else if (a == "--session") {
        o.session = true;
    } else if (a == "--explain") {
        o.explain = true;
    } else if (a == "--verbose") {
        o.verbose = true;
    } else if (a == "--text") {
        o.text = true;
    } else if (a == "--stats") {
        o.stats = true;
    } else if (a == OutcomeOption) {
        o.outcome = true;
    } else if (a == NoLimitWarningOption) {
        o.limitWarning = false;
    } else if (a.starts_with(ConsequencesOption)) {
        readConsequences(o, a.substr(ConsequencesOption.size()));
    } else if (a == "-n" || a == "--models") {
        readModels(o, a, nextValue(args, i));
        return 2;
    } else if (a.starts_with("-n=")) {
        readModels(o, "-n=", a.substr(3));
    } else if (a.starts_with("--models=")) {
        readModels(o, "--models=", a.substr(9));
    } else if (a.starts_with("-n")) {
        readModels(o, "-n", a.substr(2));
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
    return 1;
}

// The clingo options that --minimal takes: they keep clingo's search
// complete and the Domain heuristic the method needs as it is (--warn=
// only sets which warnings clingo prints; any clingo option other than
// --time-limit= and --stats also turns the compact text off). Any other
// (a random choice, another heuristic or enumeration, a limit on the
// search) could print answer sets that are not minimal, or too few, with
// no sign of it.
bool keepsMinimality(std::string_view option) {
    return option.starts_with("--time-limit=") || option == "--stats" ||
           option.starts_with("--stats=") || option.starts_with("--warn=");
}

void checkMinimalityOptions(const OPTIONS& o) {
    if (o.minimal == MINIMALITY::NONE) return;
    for (const std::string& option : o.clingoOptions)
        if (!keepsMinimality(option))
            throw USAGE_ERROR(
                std::string(MinimalOption) +
                " takes only the clingo options --time-limit=<n>, --stats and --warn=<w>, not \"" +
                option + "\"");
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

// A session reads its programs from standard input and answers each step.
void checkSessionOptions(const OPTIONS& o, const std::vector<std::string>& files) {
    if (!files.empty())
        throw USAGE_ERROR("--session reads its programs from standard input, not from \"" +
                          files[0] + "\"");
    if (o.text) throw USAGE_ERROR("--text cannot be combined with --session");
    if (o.stats) throw USAGE_ERROR("--stats cannot be combined with --session");
    if (o.outcome)
        throw USAGE_ERROR(std::string(OutcomeOption) + " cannot be combined with --session");
    if (o.consequences != CONSEQUENCES::NONE)
        throw USAGE_ERROR(std::string(ConsequencesOption) + " cannot be combined with --session");
}

// The consequences are those of every answer set: a limit would make them
// those of some.
void checkConsequencesOptions(const OPTIONS& o) {
    if (o.consequences != CONSEQUENCES::NONE && o.maxModels != 0)
        throw USAGE_ERROR(
            std::string(ConsequencesOption) +
            " needs every answer set, so it takes no limit -n=" + std::to_string(o.maxModels));
}

}  // namespace

OPTIONS ParseOptions(const std::vector<std::string>& args) {
    OPTIONS o;
    std::vector<std::string> files;
    bool optionsEnd = false;
    for (std::size_t i = 0; i < args.size();) {
        const std::string& arg = args[i];
        if (optionsEnd || arg == "-" || !arg.starts_with("-")) files.push_back(arg);
        else if (arg == "--") optionsEnd = true;
        else {
            i += readOption(o, args, i);
            continue;
        }
        ++i;
    }
    if (o.help || o.version) return o;
    if (o.session) {
        checkSessionOptions(o, files);
        return o;
    }
    if (o.explain || o.verbose) throw USAGE_ERROR("--explain and --verbose go with --session");
    o.file = theFile(files);
    checkMinimalityOptions(o);
    checkConsequencesOptions(o);
    return o;
}

std::string ProgramName(FILE_FORM form) {
    return form == FILE_FORM::ROX ? "rox-clingo" : "pexa-clingo";
}

std::string Usage(FILE_FORM form) {
    std::string name = ProgramName(form);
    std::string text =
        "Usage: " + name + " [OPTIONS] FILE\n       " + name + " --session [OPTIONS]\n";
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
        "  -n <k>, -n<k>, -n=<k>, --models=<k>\n"
        "                         print at most k answer sets (0, the default: all)\n";
    // A propositional program has no integers for -N= to bound.
    if (form == FILE_FORM::ROX)
        text +=
            "  -N=<n>                 integers for #int, #succ, + and * are 0..n; other\n"
            "                         values are not produced\n";
    text +=
        "  --session              take update programs step by step from standard\n"
        "                         input and answer each step (see the manual page)\n"
        "  --explain              with --session: the rejected rule instances too\n"
        "  --verbose              with --session: what each step added and grounded\n"
        "  --text                 print the program in clingo's language, solve nothing\n"
        "  --stats                print clingo's statistics on standard error, and\n"
        "                         its notes when it is interrupted\n"
        "  --clingo=<path>        run this solver instead of clingo found in PATH\n"
        "  --clingo-option=<opt>  pass <opt> to clingo (repeatable), for example\n"
        "                         --clingo-option=--time-limit=60; --models, --outf\n"
        "                         and --verbose are set by " +
        name +
        "\n"
        "  --minimal=min|strict   print only the minimal (strict: strictly minimal\n"
        "                         by level) answer sets, computed in one clingo run\n"
        "                         (see below); -n=<k> then counts printed minimal\n"
        "                         answer sets\n"
        "  --outcome              after the answer sets, say how solving ended on a\n"
        "                         last line (%vok:outcome complete, limited, or\n"
        "                         unfinished and why), for vok --stats\n"
        "  --consequences=brave|cautious\n"
        "                         print the atoms true in some (brave) or in every\n"
        "                         (cautious) answer set, minimal ones with\n"
        "                         --minimal=, as one answer-set line; none when\n"
        "                         there is no answer set\n"
        "  --no-limit-warning     say nothing on standard error when -n=<k> stops\n"
        "                         the run while more answer sets may exist\n"
        "  --version              print the version, and that of clingo\n"
        "  -h, --help             print this text\n"
        "\n"
        "Minimal answer sets: vok -min --one-run (or -strict --one-run) ends the\n"
        "file it writes with comment lines that name the rejection predicates:\n"
        "  %vok:rejection NAME ARITY LEVEL   one per rejection predicate (LEVEL:\n"
        "                                    program number + 1)\n"
        "  %vok:rejections COUNT             the closing line\n"
        "Without --minimal they are plain comments. With it, FILE must end with\n"
        "them (a kept file is solved again by hand with " +
        name +
        " --minimal=min\n"
        "FILE); answer sets then come grouped by their rejected rules. clingo runs\n"
        "with --heuristic=Domain, which the method needs; it takes no clingo options\n"
        "but --time-limit=<n>, --stats and --warn=<w>, which keep its search\n"
        "complete.\n"
        "\n"
        "Exit status: 0 solving finished (with or without answer sets), 1 FILE\n"
        "cannot be read or holds a program that is refused, 2 a wrong command\n"
        "line, 3 clingo could not be run, failed or did not finish (a time limit\n"
        "reached, a limit among its options), or the answer sets could not be\n"
        "written, 4 memory ran out. A reader of the answer sets that goes away\n"
        "ends it by SIGPIPE, without a word.\n";
    return text;
}

}  // namespace vok::evaluation
