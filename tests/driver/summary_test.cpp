// --stats: the summary after the results in the solver's words, and what
// the run notes for it: the outcome line of the evaluation program, and
// vok's own limit of answer sets, which stops the evaluation program.
#include <fstream>
#include <regex>

#include "driver/answers.hpp"
#include "driver/execute.hpp"
#include "driver/goal.hpp"
#include "driver/summary.hpp"
#include "fixture.hpp"
#include "tests/support/driver/by_text.hpp"

namespace {

struct Summary : Driver {
    void SetUp() override {
        Driver::SetUp();
        RunSummary() = RUN_SUMMARY();
        OptionSummary = true;
    }
    // What FinishAnswers writes, seconds as "T".
    static std::string finished(const RUN_END& end, const GOAL_ANSWER& goal = UnansweredGoal()) {
        Capture out(std::cout);
        FinishAnswers(end, goal);
        return std::regex_replace(out.text(), std::regex("[0-9]+\\.[0-9]{3}"), "T");
    }
};

TEST_F(Summary, SaysTheResultAndTheFiguresInTheSolversLayout) {
    RunSummary().models = 2;
    RunSummary().calls = 1;
    EXPECT_EQ(finished(RUN_END{true, 0}),
              "SATISFIABLE\n\n"
              "Models       : 2\n"
              "Calls        : 1\n"
              "Time         : Ts (Reading: Ts Rewriting: Ts Writing: Ts Solving: Ts)\n"
              "CPU Time     : Ts\n"
              "Program      : 0 rules, 0 constraints\n");
}

TEST_F(Summary, SaysWhyTheResultIsUnknownAndThatThereMayBeMore) {
    struct CASE {
        RUN_END end;
        std::optional<std::string> error;
        bool more;
        const char* head;  // the lines before "Calls"
    };
    const CASE cases[] = {
        {{true, 0}, std::nullopt, false, "UNSATISFIABLE\n\nModels       : 0\n"},
        {{true, 0}, std::nullopt, true, "UNSATISFIABLE\n\nModels       : 0+\n"},
        {{true, 3},
         "time limit of 3 s reached before solving finished",
         true,
         "UNKNOWN\n\nError        : time limit of 3 s reached before solving finished\n"
         "Models       : 0+\n"},
        {{true, 7},
         std::nullopt,
         false,
         "UNKNOWN\n\nError        : the evaluation program ended with status 7\n"
         "Models       : 0\n"},
        {{false, 0},
         "nothing was solved: no evaluation program was given (-p=)",
         false,
         "UNKNOWN\n\nError        : nothing was solved: no evaluation program was given "
         "(-p=)\nModels       : 0\n"},
    };
    for (const CASE& c : cases) {
        RunSummary() = RUN_SUMMARY();
        RunSummary().error = c.error;
        RunSummary().more = c.more;
        const std::string text = finished(c.end);
        EXPECT_EQ(text.substr(0, text.find("Calls")), c.head);
    }
}

// Per candidate the candidates tested are counted and the kept ones are
// the answer sets; a goal's verdict comes before the summary.
TEST_F(Summary, FollowsTheVerdictAndCountsTheCandidates) {
    OptionMinimal = true;
    OptionCautious = true;
    Goal = "a";
    RunSummary().models = 1;
    RunSummary().tested = 3;
    GOAL_ANSWER goal = UnansweredGoal();
    ANSWER lacking = answerOf("{b}");
    RecordForGoal(lacking, false, goal);
    const std::string text = finished(RUN_END{true, 0}, goal);
    EXPECT_EQ(text.substr(0, text.find("Models")), "false.\n{b}\nSATISFIABLE\n\n");
    EXPECT_NE(text.find("\nCandidates   : 3 (Kept: 1)\n"), std::string::npos) << text;
}

struct OwnLimit : Summary {
    ScratchFolder dir;
    GOAL_ANSWER goal;

    // An evaluation program that prints lines for the main run and finds
    // no answer set for a candidate test (its file has _MM in the name).
    std::string program(const std::string& lines) {
        const std::string path = dir / "solver.sh";
        std::ofstream(path) << "#!/bin/sh\ncase \"$*\" in *_MM*) exit 0;; esac\nprintf '" << lines
                            << "'\nexec sleep 30\n";
        std::filesystem::permissions(path, std::filesystem::perms::owner_all);
        return path;
    }
    int run(const std::string& solver) {
        const std::string file = dir / "main.vok";
        std::ofstream(file) << "a.\n";
        bool found = false;
        return ExecuteProgram(solver, "", file, found, goal);
    }
};

// vok's own limit (-n with candidates tested) stops the evaluation program
// as soon as enough answer sets stand, without waiting for its end; the
// run still ends well, and there may be more.
TEST_F(OwnLimit, StopsTheEvaluationProgramOnceEnoughStand) {
    OptionMinimal = true;
    OptionModels = 2;
    const std::string solver = program("{a}\\n{b}\\n{c}\\n");
    int status = -1;
    std::string out;
    const std::string said = stderrOf([&] {
        Capture captured(std::cout);
        status = run(solver);
        out = captured.text();
    });
    EXPECT_EQ(status, 0);
    EXPECT_EQ(out, "{a}\n{b}\n");
    EXPECT_EQ(said, "Stopped after 2 minimal answer sets (-n 2); there may be more.\n");
    EXPECT_EQ(RunSummary().models, 2u);
    EXPECT_EQ(RunSummary().tested, 2u);
    EXPECT_EQ(RunSummary().calls, 3u);
    EXPECT_TRUE(RunSummary().more);
}

// With --stats the outcome line is noted, not printed: more answer sets may
// exist, and why solving did not finish.
TEST_F(OwnLimit, OutcomeLinesAreNotedNotPrinted) {
    struct CASE {
        const char* line;
        bool more;
        std::optional<std::string> error;
    };
    const CASE cases[] = {{"%%vok:outcome complete", false, std::nullopt},
                          {"%%vok:outcome limited", true, std::nullopt},
                          {"%%vok:outcome unfinished clingo failed", true, "clingo failed"}};
    for (const CASE& c : cases) {
        RunSummary() = RUN_SUMMARY();
        Capture out(std::cout);
        EXPECT_EQ(run("printf '{a}\\n" + std::string(c.line) + "\\n' #"), 0);
        EXPECT_EQ(out.text(), "{a}\n");
        EXPECT_EQ(RunSummary().more, c.more) << c.line;
        EXPECT_EQ(RunSummary().error, c.error) << c.line;
    }
    // Without --stats the line is the evaluation program's text like any.
    OptionSummary = false;
    Capture out(std::cout);
    run("printf '%%vok:outcome limited\\n' #");
    EXPECT_EQ(out.text(), "%vok:outcome limited\n");
}

}  // namespace
