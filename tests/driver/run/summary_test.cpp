// vok's own limit of answer sets (-n with candidates tested per run): the
// evaluation program is stopped once enough stand, whatever it would do
// next. (The summary of --stats is checked end to end, tests/e2e/driver.)
#include <fstream>

#include "driver/output/summary.hpp"
#include "driver/run/execute.hpp"
#include "tests/support/driver/fixture.hpp"

namespace {

struct OwnLimit : Driver {
    ScratchFolder dir;
    GOAL_ANSWER goal;
    RUN_SETTINGS settings;

    // An evaluation program that prints lines for the main run, then runs
    // on for half a minute, and finds no answer set for a candidate test
    // (its file has _MM in the name).
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
        return ExecuteProgram(settings, state, solver, "", file, goal);
    }
};

// The run ends well at once, and there may be more.
TEST_F(OwnLimit, StopsTheEvaluationProgramOnceEnoughStand) {
    RunSummary() = RUN_SUMMARY();
    settings.minimal = true;
    settings.models = 2;
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
    // The user set the limit: it is said with -v only, and noted.
    EXPECT_EQ(said, "");
    EXPECT_EQ(RunSummary().models, 2u);
    EXPECT_EQ(RunSummary().tested, 2u);
    EXPECT_EQ(RunSummary().calls, 3u);
    EXPECT_TRUE(RunSummary().more);

    RunSummary() = RUN_SUMMARY();
    settings.verbose = true;
    const std::string verbose = stderrOf([&] {
        Capture captured(std::cout);
        run(solver);
    });
    EXPECT_EQ(verbose, "Stopped after 2 minimal answer sets (-n 2); there may be more.\n");
}

}  // namespace
