// The command line read through the option table: every name of every
// option, the forms of -n, where reading stops, and the checks of values.
#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>
#include <string>
#include <vector>

#include "driver/app/help.hpp"
#include "driver/app/options.hpp"

namespace {

COMMAND_LINE read(std::vector<const char*> args) {
    args.insert(args.begin(), "vok");
    return ReadCommandLine(static_cast<int>(args.size()), args.data());
}

TEST(OptionTable, EveryOptionSetsItsField) {
    const OPTIONS o =
        read({"-f=out.lp", "-FB=p(a)",  "-min",    "-strict",   "-integral", "--one-run",
              "-o=-N=5",   "-O=all",    "-P=pexa", "-p=solver", "-silent",   "-stdin",
              "-v",        "-debug",    "-stats",  "-wait",     "--explain", "--json",
              "--stats",   "--session", "in.lp",   "-x"})
            .options;
    EXPECT_EQ(o.file, "out.lp");
    EXPECT_TRUE(o.store && o.brave && !o.cautious && o.minimal && o.strict && o.integral);
    EXPECT_EQ(o.goal, "p(a)");
    EXPECT_EQ(o.evaluationOptions, "-N=5");
    EXPECT_EQ(o.optimize, OPTIMIZATION::ALL);
    EXPECT_EQ(o.programType, PROGRAM_TYPE::PEXA);
    EXPECT_EQ(o.program, "solver");
    EXPECT_TRUE(o.oneRun && o.silent && o.readStdin && o.verbose && o.debug && o.ignoredStats);
    EXPECT_TRUE(o.wait && o.explain && o.json && o.stats && o.session);
    EXPECT_EQ(o.inputs, (std::vector<std::string>{"in.lp", "-x"}));
}

// An empty value keeps the setting, except for the reasoning mode; a later
// goal wins.
TEST(OptionTable, EmptyValuesKeepTheSetting) {
    const OPTIONS o = read({"-p=a", "-p=", "-f=", "-o=x", "-o=", "-FB=g", "-FC="}).options;
    EXPECT_EQ(o.program, "a");
    EXPECT_FALSE(o.store);
    EXPECT_EQ(o.evaluationOptions, "x");
    EXPECT_EQ(o.goal, "g");
    EXPECT_TRUE(o.brave && o.cautious);
    EXPECT_EQ(read({"-P=other", "-O=succint"}).options.programType, PROGRAM_TYPE::OTHER);
}

TEST(OptionTable, ModelsInEveryForm) {
    for (const auto& [args, written] :
         std::vector<std::pair<std::vector<const char*>, std::string>>{
             {{"-n", "7"}, "-n"},
             {{"-n7"}, "-n"},
             {{"-n=7"}, "-n="},
             {{"--models=7"}, "--models="},
             {{"--models", "7"}, "--models"}}) {
        OPTIONS o = read(args).options;
        EXPECT_EQ(o.given.modelsOption, written);
        EXPECT_EQ(CheckValues(o), std::nullopt);
        EXPECT_EQ(o.models, 7u) << written;
    }
    // The separate value is taken whatever it begins with.
    EXPECT_EQ(read({"-n", "--", "x"}).options.given.models, "--");
    OPTIONS missing = read({"--models"}).options;
    EXPECT_EQ(CheckValues(missing), "--models needs a number of answer sets (0 for all).");
}

TEST(OptionTable, ReadingStopsAtARequestOrAnUnknownOption) {
    EXPECT_EQ(read({"-h", "-x"}).request, REQUEST::USAGE);
    EXPECT_EQ(read({"-help"}).request, REQUEST::USAGE);
    EXPECT_EQ(read({"--help"}).request, REQUEST::HELP);
    EXPECT_EQ(read({"--version"}).request, REQUEST::VERSION);
    for (const char* unknown : {"-nin", "-n-1", "-", "-minimal", "--json=1", "-stats=1"}) {
        const COMMAND_LINE line = read({"-min", unknown, "--help"});
        EXPECT_EQ(line.request, REQUEST::UNKNOWN) << unknown;
        EXPECT_EQ(line.unknown, unknown);
    }
    const OPTIONS afterDashes = read({"--", "-min"}).options;
    EXPECT_FALSE(afterDashes.minimal);
    EXPECT_EQ(afterDashes.inputs, std::vector<std::string>{"-min"});
}

// An option that takes "=value" given without "=" is told with what it
// likely meant, the next argument as its value when there is one.
TEST(OptionTable, AValueWithoutItsEqualsSignIsNamed) {
    const std::vector<std::pair<std::vector<const char*>, std::string>> cases = {
        {{"-p", "build/rox-clingo", "in.lp"}, "-p=build/rox-clingo"},
        {{"-silent", "-f", "out.lp"}, "-f=out.lp"},
        {{"-FB", "p(a)"}, "-FB='p(a)'"},
        {{"--time-limit", "5"}, "--time-limit=5"},
        {{"-p", "my dir/it's"}, "-p='my dir/it'\\''s'"},
        {{"-o"}, "-o=..."},
    };
    for (const auto& [args, meant] : cases) {
        const COMMAND_LINE line = read(args);
        EXPECT_EQ(line.request, REQUEST::MISSING_EQUALS) << meant;
        EXPECT_EQ(line.meant, meant);
    }
    // Options whose value may follow separately, and unknown ones, are not.
    EXPECT_EQ(read({"-n", "3"}).request, REQUEST::RUN);
    EXPECT_EQ(read({"--models", "3"}).request, REQUEST::RUN);
    EXPECT_EQ(read({"-q", "x"}).request, REQUEST::UNKNOWN);
}

// A file name that is one of the options, with or without a value.
TEST(OptionTable, FileNamesThatAreOptions) {
    for (const char* arg : {"-strict", "-min", "-p=x", "-p=", "-p", "-f", "-n", "-n5", "--models=2",
                            "--show=p/1", "--help", "-h"})
        EXPECT_TRUE(NamesOption(arg)) << arg;
    for (const char* arg : {"in.lp", "-", "--", "-x", "-strict=1", "-nx", "-pp", "p=x"})
        EXPECT_FALSE(NamesOption(arg)) << arg;
}

// --outf= and --json: the later wins, but --json does not take back a
// refused --outf=.
TEST(OptionTable, OutputFormatAndRefusedValues) {
    EXPECT_TRUE(read({"--outf=0", "--outf=2"}).options.json);
    EXPECT_FALSE(read({"--json", "--outf=0"}).options.json);
    OPTIONS refused = read({"--outf=1", "--json"}).options;
    EXPECT_EQ(CheckValues(refused), "--outf= takes 0 (text) or 2 (JSON), not \"1\".");
    OPTIONS limit = read({"--time-limit=2147483648"}).options;
    EXPECT_EQ(CheckValues(limit),
              "--time-limit= needs a number of seconds (0 for none), not \"2147483648\".");
    OPTIONS first = read({"-n", "x", "--show=p"}).options;
    EXPECT_EQ(CheckValues(first), "-n needs a number of answer sets (0 for all), not \"x\".");
}

// Each name is declared once, and every option has a line in the help.
TEST(OptionTable, NamesAreUniqueAndEveryOptionIsInTheHelp) {
    std::ostringstream help;
    PrintUsage(help, "vok");
    PrintMoreHelp(help);
    std::vector<std::string> seen;
    for (const OPTION& option : OptionTable()) {
        EXPECT_NE(help.str().find(std::string("\n") + option.forms), std::string::npos)
            << option.forms;
        for (const OPTION_NAME& name : option.names) {
            const std::string key = name.name + std::to_string(static_cast<int>(name.match));
            EXPECT_EQ(std::count(seen.begin(), seen.end(), key), 0) << key;
            seen.push_back(key);
        }
    }
}

}  // namespace
