// Running the evaluation program: test mode and the refusal of first-order
// programs for pexa. The rest is covered end to end (tests/e2e/driver).
#include <sys/stat.h>

#include <fstream>

#include "driver/run/candidate.hpp"
#include "driver/run/execute.hpp"
#include "tests/support/driver/fixture.hpp"
#include "tests/support/whole_run.hpp"

namespace {

struct Execute : Driver {
    ScratchFolder dir;
    bool found = false;
    GOAL_ANSWER goal;
    RUN_SETTINGS settings;

    std::string makeFile(const std::string& name) {
        std::string path = dir / name;
        std::ofstream(path) << "a.\n";
        return path;
    }
    // An evaluation program that runs body as a shell script.
    std::string script(const std::string& name, const std::string& body) {
        std::string path = dir / name;
        std::ofstream(path) << "#!/bin/sh\n" << body << "\n";
        ::chmod(path.c_str(), 0755);
        return path;
    }
    int run(const std::string& program, const std::string& file, bool testMode) {
        found = false;
        if (!testMode) return ExecuteProgram(settings, state, program, "", file, goal);
        const TEST_RUN test = RunTestProgram(settings, program, "", file);
        found = test.found;
        return test.status;
    }
};

TEST_F(Execute, TestModeOnlyLooksForALineBeginningAnAnswerSet) {
    Capture out(std::cout);
    EXPECT_EQ(run(script("p1", "printf 'banner\\n{a}\\n'"), makeFile("f"), true), 0);
    EXPECT_TRUE(found);
    EXPECT_EQ(run(script("p2", "printf 'banner\\n {a}\\n'"), makeFile("f"), true), 0);
    EXPECT_FALSE(found);
    EXPECT_EQ(run(script("p3", "printf '{a}\\n'"), makeFile("f"), false), 0);
    EXPECT_FALSE(found) << "found is false after a normal run";
    EXPECT_EQ(out.text(), "{a}\n");
    // A program that started ends with its own code, 127 too, with or
    // without output: only a failed start is "could not execute".
    EXPECT_EQ(run(script("p4", "echo x; exit 127"), makeFile("f"), true), 127);
    EXPECT_EQ(run(script("p5", "exit 127"), makeFile("f"), true), 127);
}

TEST_F(Execute, PexaRefusesFirstOrderProgramsAndRemovesTheTemporaryFile) {
    settings.programType = PROGRAM_TYPE::PEXA;
    state.sequence.propositional = false;
    std::string file = makeFile("f");
    EXPECT_EXIT(AsWholeRun([&] { run("true", file, false); }), ::testing::ExitedWithCode(1),
                "^Sorry, PEXA cannot process first order programs! Aborting.\n$");
    EXPECT_FALSE(std::filesystem::exists(file));
}

}  // namespace
