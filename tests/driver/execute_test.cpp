// Running the evaluation program: the command line, test mode, the exit
// status, the program file's removal and the refusals.
#include <csignal>
#include <fstream>

#include "driver/execute.hpp"
#include "driver/exits.hpp"
#include "fixture.hpp"

namespace {

struct Execute : Driver {
    ScratchFolder dir;
    bool found = false;
    bool answer = true;
    std::string witness;

    std::string makeFile(const std::string& name) {
        std::string path = dir / name;
        std::ofstream(path) << "a.\n";
        return path;
    }
    int run(const std::string& program, const std::string& file, bool testMode = false,
            const std::string& options = "") {
        found = testMode;
        return ExecuteProgram(program, options, file, found, answer, witness);
    }
};

TEST_F(Execute, StatusIsTheExitCodeOrTheSignal) {
    EXPECT_EQ(run("exit 0 #", makeFile("f")), 0);
    EXPECT_EQ(run("exit 3 #", makeFile("f")), 3);
    EXPECT_EQ(run("kill -KILL $$ #", makeFile("f")), 128 + SIGKILL);
    EXPECT_EQ(run("kill -TERM $$ #", makeFile("f")), 128 + SIGTERM);
}

TEST_F(Execute, TestModeOnlyLooksForAnAnswerSet) {
    Capture out(std::cout);
    EXPECT_EQ(run("printf 'banner\\n{a}\\n' #", makeFile("f"), true), 0);
    EXPECT_TRUE(found);
    EXPECT_EQ(run("printf 'banner\\n {a}\\n' #", makeFile("f"), true), 0);
    EXPECT_FALSE(found);
    EXPECT_EQ(run("printf '{a}\\n' #", makeFile("f"), false), 0);
    EXPECT_FALSE(found) << "found is false after a normal run";
    EXPECT_EQ(out.text(), "{a}\n");
}

TEST_F(Execute, FileNameReachesTheProgramAsOneWord) {
    OptionProgram = 0;  // other program types copy the output unchanged
    std::string file = makeFile("it's a $HOME `x` \"file\"; *");
    Capture out(std::cout);
    EXPECT_EQ(run("printf '[%s]\\n'", file, false, "'{'"), 0);
    EXPECT_EQ(out.text(), "[{]\n[" + file + "]\n");
}

TEST_F(Execute, OtherProgramTypesCopyTheOutput) {
    OptionProgram = 0;
    updatePredicates.insert("q_P0", 0, PREDICATE_NAMES::IDB);
    Capture out(std::cout);
    run("printf '{a, q_P0}\\nrest' #", makeFile("f"));
    EXPECT_EQ(out.text(), "{a, q_P0}\nrest");
}

TEST_F(Execute, FileIsRemovedUnlessTheUserNamedIt) {
    std::string file = makeFile("f");
    RegisterTemporaryFile(file);
    run("exit 0 #", file);
    EXPECT_FALSE(std::filesystem::exists(file));

    OptionStore = true;
    file = makeFile("kept");
    run("exit 4 #", file);
    EXPECT_TRUE(std::filesystem::exists(file));
}

TEST_F(Execute, VerboseRunSaysWhatItExecutes) {
    OptionVerbosity = true;
    Capture out(std::cout);
    std::string file = makeFile("f");
    run("exit 0 #", file, false, "-n 1");
    OptionStore = true;
    run("exit 0 #", makeFile("g"));
    EXPECT_EQ(out.text(), "Executing exit 0 # -n 1 ...\nExecuting exit 0 # " + dir / "g" + " ...\n");
}

TEST_F(Execute, ProgramThatCannotStartIsReported) {
    std::string file = makeFile("f");
    EXPECT_EXIT(run(dir / "missing", file, false, "-x"), ::testing::ExitedWithCode(1),
                "Could not execute " + dir / "missing" + " -x " + file + ". Aborting.\n$");
    EXPECT_FALSE(std::filesystem::exists(file));
    // A program that starts and then fails with the same code is no such
    // case: it printed something.
    EXPECT_EQ(run("echo x; exit 127 #", makeFile("f"), true), 127);
}

TEST_F(Execute, PexaRefusesFirstOrderPrograms) {
    OptionProgram = 2;
    IsPropositional = false;
    std::string file = makeFile("f");
    EXPECT_EXIT(run("true", file), ::testing::ExitedWithCode(1),
                "^Sorry, PEXA cannot process first order programs! Aborting.\n$");
    EXPECT_FALSE(std::filesystem::exists(file));
    OptionStore = true;
    file = makeFile("g");
    EXPECT_EXIT(run("true", file), ::testing::ExitedWithCode(1), "Sorry, PEXA");
    EXPECT_TRUE(std::filesystem::exists(file));
}

}  // namespace
