// The evaluation program as a child: started directly from its words, its
// output, its status, and the process group through which the end of a run
// stops it with whatever it started; the words of -o= and the search for
// the program.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <fstream>
#include <string>
#include <vector>

#include "driver/run/process.hpp"
#include "tests/support/driver/fixture.hpp"

namespace {

using WORDS = std::vector<std::string>;

std::string lineOf(CHILD_RUN& run) {
    char buffer[64] = {};
    return std::fgets(buffer, sizeof buffer, run.output) ? buffer : "";
}

void writeFile(const std::string& path, const std::string& text, mode_t mode) {
    std::ofstream(path) << text;
    ::chmod(path.c_str(), mode);
}

TEST(Process, ArgumentsReachTheProgramAsWrittenAndItsStatusComesBack) {
    CHILD_RUN run = StartProgram(
        {"sh", "-c", "printf '%s|' \"$@\"; echo; exit 3", "sh", "a b", "$(touch x)", ";", "'q'"});
    ASSERT_NE(run.output, nullptr);
    EXPECT_EQ(lineOf(run), "a b|$(touch x)|;|'q'|\n");
    int status = FinishProgram(run);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 3);
    EXPECT_EQ(run.pid, -1);
}

TEST(Process, AProgramThatCannotBeStartedIsToldApartFromOneThatEndsWith127) {
    ScratchFolder folder;
    writeFile(folder / "not-executable", "#!/bin/sh\necho no\n", 0644);
    for (const std::string& program :
         {folder / "missing", folder / "not-executable", std::string("vok-no-such-program")}) {
        CHILD_RUN run = StartProgram({program});
        EXPECT_EQ(run.output, nullptr) << program;
        EXPECT_EQ(run.pid, -1) << program;
    }
    CHILD_RUN run = StartProgram({"sh", "-c", "exit 127"});
    ASSERT_NE(run.output, nullptr);
    EXPECT_EQ(WEXITSTATUS(FinishProgram(run)), 127);
}

// As execvp does it, a script without "#!" is run by /bin/sh, found as any
// program is; its arguments stay arguments.
TEST(Process, AScriptWithoutInterpreterLineIsRunAsExecvpRunsIt) {
    ScratchFolder folder;
    writeFile(folder / "plain script", "echo \"[$1]\"\n", 0755);
    CHILD_RUN byPath = StartProgram({folder / "plain script", "a; b"});
    ASSERT_NE(byPath.output, nullptr);
    EXPECT_EQ(lineOf(byPath), "[a; b]\n");
    EXPECT_EQ(FinishProgram(byPath), 0);

    const std::string before = ExecutableSearchPath();
    ::setenv("PATH", (folder.path() + ":" + before).c_str(), 1);
    CHILD_RUN byName = StartProgram({"plain script", "$(x)"});
    ::setenv("PATH", before.c_str(), 1);
    ASSERT_NE(byName.output, nullptr);
    EXPECT_EQ(lineOf(byName), "[$(x)]\n");
    EXPECT_EQ(FinishProgram(byName), 0);
}

TEST(Process, WhatTheProgramStartsIsInItsGroupAndStopsWithIt) {
    CHILD_RUN run = StartProgram({"sh", "-c", "sleep 30 & echo $!; wait"});
    ASSERT_NE(run.output, nullptr);
    const pid_t sleeper = std::stoi(lineOf(run));
    EXPECT_EQ(::getpgid(run.pid), run.pid);
    EXPECT_EQ(::getpgid(sleeper), run.pid);
    int status = StopProgram(run);
    EXPECT_TRUE(WIFSIGNALED(status));
}

TEST(Process, OptionsAreSplitAtBlanksOnly) {
    const std::vector<std::pair<std::string, WORDS>> cases = {
        {"", {}},
        {" \t ", {}},
        {"-N=20", {"-N=20"}},
        {"  -n=1\t--x  y ", {"-n=1", "--x", "y"}},
        {"'a b' \"c\"", {"'a", "b'", "\"c\""}},
        {"-N=3; echo $(id) `id`", {"-N=3;", "echo", "$(id)", "`id`"}},
    };
    for (const auto& [text, words] : cases) EXPECT_EQ(SplitOptions(text), words) << text;
}

TEST(Process, TheProgramIsFoundBesideVokFirstThenInPath) {
    ScratchFolder folder;
    ASSERT_EQ(::mkdir((folder / "bin").c_str(), 0755), 0);
    ASSERT_EQ(::mkdir((folder / "other").c_str(), 0755), 0);
    ASSERT_EQ(::mkdir((folder / "bin/dir-prog").c_str(), 0755), 0);
    writeFile(folder / "bin/prog", "", 0755);
    writeFile(folder / "other/prog", "", 0755);
    writeFile(folder / "other/plain", "", 0644);
    writeFile(folder / "vok", "", 0755);
    const std::string path = folder / "none" + ":" + folder / "other" + ":" + folder / "bin";

    EXPECT_EQ(FindInPath("prog", path), folder / "other/prog");
    EXPECT_EQ(FindInPath("plain", path), "");     // not executable
    EXPECT_EQ(FindInPath("dir-prog", path), "");  // not a file
    EXPECT_EQ(FindInPath("prog", ""), "");        // only the working directory
    EXPECT_EQ(FindInPath("prog", "::" + folder / "bin"), folder / "bin/prog");

    EXPECT_EQ(FindDefaultProgram("prog", folder / "bin/vok", path), folder / "bin/prog");
    EXPECT_EQ(FindDefaultProgram("prog", folder / "vok", path), folder / "other/prog");
    EXPECT_EQ(FindDefaultProgram("prog", "", folder / "bin"), folder / "bin/prog");
    EXPECT_EQ(FindDefaultProgram("prog", folder / "vok", ""), "");
}

}  // namespace
