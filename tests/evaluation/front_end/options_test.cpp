#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/contract.hpp"
#include "evaluation/front_end/options.hpp"

using namespace vok::evaluation;

namespace {

std::string usageError(const std::vector<std::string>& args) {
    try {
        ParseOptions(args);
    } catch (const USAGE_ERROR& e) {
        return e.what();
    }
    return "accepted";
}

}  // namespace

TEST(OPTIONS, ReadTheCommandLineVokWrites) {
    OPTIONS o = ParseOptions({"-n=3", "-N=20", "--clingo=/opt/clingo", "--clingo-option=-t2",
                              "--clingo-option=--seed=4", "prog.lp"});
    EXPECT_EQ(o.maxModels, 3u);
    EXPECT_EQ(o.maxint, 20);
    EXPECT_EQ(o.clingo, "/opt/clingo");
    EXPECT_EQ(o.clingoOptions, (std::vector<std::string>{"-t2", "--seed=4"}));
    EXPECT_EQ(o.file, "prog.lp");

    o = ParseOptions({"f"});
    EXPECT_EQ(o.maxModels, 0u);
    EXPECT_FALSE(o.maxint.has_value());
    EXPECT_EQ(o.clingo, "clingo");
    EXPECT_EQ(ParseOptions({"-"}).file, "-");
    EXPECT_EQ(ParseOptions({"--", "-n=2"}).file, "-n=2");
    EXPECT_TRUE(ParseOptions({"--outcome", "f"}).outcome);
    EXPECT_FALSE(ParseOptions({"f"}).outcome);
    EXPECT_TRUE(ParseOptions({"--help"}).help);
    EXPECT_TRUE(ParseOptions({"--version"}).version);
    EXPECT_EQ(ParseOptions({"-N=2147483646", "f"}).maxint, 2147483646);
}

TEST(OPTIONS, TakeTheNumberOfAnswerSetsInClingosForms) {
    for (const auto& args : std::vector<std::vector<std::string>>{
             {"-n", "4", "f"}, {"-n4", "f"}, {"--models=4", "f"}, {"--models", "4", "f"}}) {
        OPTIONS o = ParseOptions(args);
        EXPECT_EQ(o.maxModels, 4u) << args[0];
        EXPECT_EQ(o.file, "f") << args[0];
    }
    OPTIONS o = ParseOptions({"--text", "--stats", "-n", "0", "-"});
    EXPECT_TRUE(o.text);
    EXPECT_TRUE(o.stats);
    EXPECT_EQ(o.file, "-");
}

TEST(OPTIONS, RefuseWhatTheyCannotMeanClearly) {
    EXPECT_EQ(usageError({}), "no FILE given");
    EXPECT_EQ(usageError({"a", "b"}), "one FILE expected, but got 2: \"a\", \"b\"");
    EXPECT_EQ(usageError({"-x", "f"}), "unknown option \"-x\"");
    EXPECT_EQ(usageError({"-n=-1", "f"}),
              "-n= needs a number of answer sets (0 for all), not \"-1\"");
    EXPECT_EQ(usageError({"-n=", "f"}), "-n= needs a number of answer sets (0 for all), not \"\"");
    EXPECT_EQ(usageError({"-N=2147483647", "f"}),
              "-N= needs the largest integer, from 0 to 2147483646, not \"2147483647\"");
    EXPECT_EQ(usageError({"-N=3x", "f"}),
              "-N= needs the largest integer, from 0 to 2147483646, not \"3x\"");
    EXPECT_EQ(usageError({"--clingo=", "f"}), "--clingo= needs the path of a solver");
    EXPECT_EQ(usageError({"--clingo-option=", "f"}), "--clingo-option= needs an option for clingo");
    EXPECT_EQ(usageError({"f", "-n"}), "-n needs a number of answer sets (0 for all)");
    EXPECT_EQ(usageError({"--models", "all", "f"}),
              "--models needs a number of answer sets (0 for all), not \"all\"");
    EXPECT_EQ(usageError({"-nx", "f"}), "-n needs a number of answer sets (0 for all), not \"x\"");
    EXPECT_EQ(usageError({"--text"}), "no FILE given");
}

TEST(OPTIONS, TakeOneMinimality) {
    EXPECT_EQ(ParseOptions({"--minimal=min", "f"}).minimal, MINIMALITY::MIN);
    EXPECT_EQ(ParseOptions({"--minimal=strict", "f"}).minimal, MINIMALITY::STRICT);
    EXPECT_EQ(ParseOptions({"f"}).minimal, MINIMALITY::NONE);
    for (auto args : {std::vector<std::string>{"--minimal=min", "--minimal=strict", "f"},
                      std::vector<std::string>{"--minimal=", "f"},
                      std::vector<std::string>{"--minimal=Min", "f"}})
        EXPECT_THROW(ParseOptions(args), USAGE_ERROR);
}

// The consequences need every answer set: a limit is refused with them, and
// so is a session, which answers its steps otherwise.
TEST(OPTIONS, TakeTheConsequencesOfEveryAnswerSet) {
    EXPECT_EQ(ParseOptions({"--consequences=brave", "f"}).consequences, CONSEQUENCES::BRAVE);
    EXPECT_EQ(ParseOptions({"--consequences=cautious", "-n=0", "f"}).consequences,
              CONSEQUENCES::CAUTIOUS);
    EXPECT_EQ(ParseOptions({"f"}).consequences, CONSEQUENCES::NONE);
    EXPECT_FALSE(ParseOptions({"--no-limit-warning", "f"}).limitWarning);
    EXPECT_EQ(usageError({"--consequences=all", "f"}),
              "--consequences= needs \"brave\" or \"cautious\", not \"all\"");
    EXPECT_EQ(usageError({"--consequences=brave", "-n", "2", "f"}),
              "--consequences= needs every answer set, so it takes no limit -n=2");
    EXPECT_EQ(usageError({"--session", "--consequences=brave"}),
              "--consequences= cannot be combined with --session");
}

// The usage text shows the declarations and the option as vok writes them.
TEST(OPTIONS, AreDescribedInTheWordsVokWrites) {
    for (FILE_FORM form : {FILE_FORM::ROX, FILE_FORM::PEXA}) {
        const std::string usage = Usage(form);
        for (const std::string& shown :
             {std::string(DeclarationMark) + std::string(RejectionWord) + " NAME ARITY LEVEL",
              std::string(DeclarationMark) + std::string(RejectionCountWord) + " COUNT",
              std::string(MinimalOption) + std::string(MinimalMode) + "|" +
                  std::string(StrictMinimalMode),
              std::string(OutcomeOption), std::string(DeclarationMark) + std::string(OutcomeWord),
              std::string(ConsequencesOption) + std::string(BraveMode) + "|" +
                  std::string(CautiousMode),
              std::string(NoLimitWarningOption)})
            EXPECT_NE(usage.find(shown), std::string::npos) << shown;
    }
}
