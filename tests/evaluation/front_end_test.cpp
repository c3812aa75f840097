#include <gtest/gtest.h>

#include <cerrno>
#include <string>
#include <vector>

#include "front_end.hpp"
#include "solver.hpp"

using namespace vok::evaluation;

namespace {

std::string usage_error(const std::vector<std::string>& args) {
    try {
        parse_options(args);
    } catch (const UsageError& e) {
        return e.what();
    }
    return "accepted";
}

}  // namespace

TEST(Options, ReadTheCommandLineVokWrites) {
    Options o = parse_options({"-n=3", "-N=20", "--clingo=/opt/clingo", "--clingo-option=-t2",
                               "--clingo-option=--seed=4", "prog.lp"});
    EXPECT_EQ(o.max_models, 3u);
    EXPECT_EQ(o.maxint, 20);
    EXPECT_EQ(o.clingo, "/opt/clingo");
    EXPECT_EQ(o.clingo_options, (std::vector<std::string>{"-t2", "--seed=4"}));
    EXPECT_EQ(o.file, "prog.lp");

    o = parse_options({"f"});
    EXPECT_EQ(o.max_models, 0u);
    EXPECT_FALSE(o.maxint.has_value());
    EXPECT_EQ(o.clingo, "clingo");
    EXPECT_EQ(parse_options({"-"}).file, "-");
    EXPECT_EQ(parse_options({"--", "-n=2"}).file, "-n=2");
    EXPECT_TRUE(parse_options({"--help"}).help);
    EXPECT_EQ(parse_options({"-N=2147483646", "f"}).maxint, 2147483646);
}

TEST(Options, RefuseWhatTheyCannotMeanClearly) {
    EXPECT_EQ(usage_error({}), "no FILE given");
    EXPECT_EQ(usage_error({"a", "b"}), "one FILE expected, but got 2: \"a\", \"b\"");
    EXPECT_EQ(usage_error({"-x", "f"}), "unknown option \"-x\"");
    EXPECT_EQ(usage_error({"-n=-1", "f"}),
              "-n= needs a number of answer sets (0 for all), not \"-1\"");
    EXPECT_EQ(usage_error({"-n=", "f"}), "-n= needs a number of answer sets (0 for all), not \"\"");
    EXPECT_EQ(usage_error({"-N=2147483647", "f"}),
              "-N= needs the largest integer, from 0 to 2147483646, not \"2147483647\"");
    EXPECT_EQ(usage_error({"-N=3x", "f"}),
              "-N= needs the largest integer, from 0 to 2147483646, not \"3x\"");
    EXPECT_EQ(usage_error({"--clingo=", "f"}), "--clingo= needs the path of a solver");
    EXPECT_EQ(usage_error({"--clingo-option=", "f"}),
              "--clingo-option= needs an option for clingo");
}

TEST(Solver, SetsTheOutputOptionsAfterThoseItPassesOn) {
    SolverCall call;
    call.options = {"--seed=3"};
    call.max_models = 2;
    EXPECT_EQ(clingo_arguments(call),
              (std::vector<std::string>{"--warn=none", "--seed=3", "--models=2", "--outf=0",
                                        "--verbose=1", "-"}));
}

TEST(Solver, ReportsASolverThatCannotRunOrFails) {
    auto no_output = [](std::string_view) { return true; };
    SolverCall missing;
    missing.clingo = "/nonexistent/clingo";
    SolverOutcome o = solve(missing, "a.", no_output);
    EXPECT_FALSE(o.finished);
    EXPECT_EQ(o.error, "cannot run clingo \"/nonexistent/clingo\": No such file or directory");

    SolverCall failing;
    failing.clingo = "false";
    o = solve(failing, "a.", no_output);
    EXPECT_FALSE(o.finished);
    EXPECT_EQ(o.error, "clingo ended with status 1 (interrupted, or its options were refused)");
}

TEST(Solver, StopsWhenTheAnswerSetsCannotBeWritten) {
    SolverCall call;
    SolverOutcome o = solve(call, "a; b; c.", [](std::string_view) {
        errno = EPIPE;
        return false;
    });
    EXPECT_FALSE(o.finished);
    EXPECT_EQ(o.error, "the answer sets could not be written: Broken pipe");
    EXPECT_EQ(o.answer_sets, 0u);
}
