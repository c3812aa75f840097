// The evaluation program as a child: its output, its status, and the
// process group through which the end of a run stops it with whatever it
// started.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <string>

#include "driver/run/process.hpp"

namespace {

std::string lineOf(CHILD_RUN& run) {
    char buffer[64] = {};
    return std::fgets(buffer, sizeof buffer, run.output) ? buffer : "";
}

TEST(Process, OutputAndStatusOfTheCommand) {
    CHILD_RUN run = StartShellCommand("echo a; exit 3");
    ASSERT_NE(run.output, nullptr);
    EXPECT_EQ(lineOf(run), "a\n");
    int status = FinishShellCommand(run);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 3);
    EXPECT_EQ(run.pid, -1);
}

TEST(Process, WhatTheCommandStartsIsInItsGroupAndStopsWithIt) {
    CHILD_RUN run = StartShellCommand("sleep 30 & echo $!; wait");
    ASSERT_NE(run.output, nullptr);
    const pid_t sleeper = std::stoi(lineOf(run));
    EXPECT_EQ(::getpgid(run.pid), run.pid);
    EXPECT_EQ(::getpgid(sleeper), run.pid);
    ASSERT_EQ(::kill(-run.pid, SIGTERM), 0);
    int status = FinishShellCommand(run);
    EXPECT_TRUE(WIFSIGNALED(status));
}

}  // namespace
