// A child starts on the descriptors, in the group and with the signal
// actions asked for, and is waited for with its process id still its own
// while beforeReap runs. (Pipes are close-on-exec, so that a child holds
// no end of them besides its own.)
#include <gtest/gtest.h>

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <string>

#include "common/child.hpp"

namespace {

CHILD_START shell(const std::string& command) {
    CHILD_START start;
    start.program = "/bin/sh";
    start.argv = {"sh", "-c", command};
    return start;
}

pid_t unreaped = -1;

}  // namespace

TEST(Child, StartsOnTheGivenDescriptorsAndIsWaitedForBeforeItIsReaped) {
    int in[2], out[2];
    ASSERT_EQ(::pipe2(in, O_CLOEXEC), 0);
    ASSERT_EQ(::pipe2(out, O_CLOEXEC), 0);
    CHILD_START start = shell("read x; echo \"<$x>\"; exit 3");
    start.input = in[0];
    start.output = out[1];
    pid_t pid = -1;
    ASSERT_EQ(StartChild(start, pid), 0);
    ::close(in[0]);
    ::close(out[1]);
    ASSERT_EQ(::write(in[1], "a\n", 2), 2);
    ::close(in[1]);
    char text[16] = {};
    ASSERT_EQ(::read(out[0], text, sizeof text - 1), 4);
    ::close(out[0]);
    EXPECT_STREQ(text, "<a>\n");
    // Ended but not reaped: the id is still the child's.
    const int status = WaitForChild(pid, [](pid_t p) { unreaped = ::kill(p, 0) == 0 ? p : -1; });
    EXPECT_EQ(unreaped, pid);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 3);
    EXPECT_EQ(WaitForChild(pid), -1);  // reaped already
}

TEST(Child, StartsInAGroupOfItsOwnOnlyWhenAsked) {
    for (bool own : {false, true}) {
        int hold[2];
        ASSERT_EQ(::pipe2(hold, O_CLOEXEC), 0);
        CHILD_START start = shell("read x");
        start.input = hold[0];
        start.ownGroup = own;
        pid_t pid = -1;
        ASSERT_EQ(StartChild(start, pid), 0);
        EXPECT_EQ(::getpgid(pid), own ? pid : ::getpgrp()) << own;
        ::close(hold[0]);
        ::close(hold[1]);
        WaitForChild(pid);
    }
}

TEST(Child, GetsSigpipeBackAtItsDefaultWhenAsked) {
    struct sigaction ignore {
    }, old{};
    ignore.sa_handler = SIG_IGN;
    ::sigaction(SIGPIPE, &ignore, &old);
    for (bool defaults : {false, true}) {
        CHILD_START start = shell("kill -PIPE $$; exit 7");
        start.defaultSignals = defaults;
        pid_t pid = -1;
        ASSERT_EQ(StartChild(start, pid), 0);
        const int status = WaitForChild(pid);
        EXPECT_EQ(WIFSIGNALED(status) && WTERMSIG(status) == SIGPIPE, defaults) << status;
    }
    ::sigaction(SIGPIPE, &old, nullptr);
}

TEST(Child, SaysWhyItCouldNotStart) {
    CHILD_START start;
    start.program = "no-such-program-anywhere";
    start.argv = {start.program};
    start.searchPath = true;
    pid_t pid = -1;
    EXPECT_EQ(StartChild(start, pid), ENOENT);
}
