// A child spoken to over two pipes a line at a time, with signals that
// interrupt the reads and writes, a child that went away, and writes that
// the pipe takes only in part.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <signal.h>
#include <sys/time.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <string>
#include <utility>

#include "common/pipe_channel.hpp"

namespace {

LINE_CHANNEL shellChannel(const std::string& command) {
    CHILD_START start;
    start.program = "/bin/sh";
    start.argv = {"sh", "-c", command};
    LINE_CHANNEL channel;
    bool pipesFailed = true;
    EXPECT_EQ(StartChannel(channel, start, StartChild, pipesFailed), 0);
    EXPECT_FALSE(pipesFailed);
    return channel;
}

int exitCode(int status) { return WIFEXITED(status) ? WEXITSTATUS(status) : -1; }

volatile std::sig_atomic_t ticks = 0;

}  // namespace

TEST(PipeChannel, ExchangesLinesAndTakesAnUnendedLastLineOnlyWhenAsked) {
    LINE_CHANNEL echo = shellChannel("while read -r l; do echo \"<$l>\"; done; printf end; exit 4");
    ASSERT_TRUE(WriteToChannel(echo, "a\n\nb c\n"));
    CloseChannelInput(echo);
    std::string line;
    for (const char* expected : {"<a>", "<>", "<b c>", "end"}) {
        ASSERT_TRUE(ReadChannelLine(echo, line));
        EXPECT_EQ(line, expected);
    }
    EXPECT_FALSE(ReadChannelLine(echo, line));
    EXPECT_EQ(exitCode(WaitForChannel(echo)), 4);
    EXPECT_EQ(WaitForChannel(echo), -1);  // waited for already

    LINE_CHANNEL cut = shellChannel("printf 'x\\ny'");
    cut.output.unendedLastLine = false;
    ASSERT_TRUE(ReadChannelLine(cut, line));
    EXPECT_EQ(line, "x");
    EXPECT_FALSE(ReadChannelLine(cut, line));
    WaitForChannel(cut);
}

TEST(PipeChannel, ReadsLinesLongerThanManyReadsWhole) {
    // Lines that arrive over many reads, the search for a line end carried
    // on where the last read left it, each followed by shorter ones.
    const std::pair<std::size_t, char> lines[] = {
        {300000, 'a'}, {1, 'b'}, {(1 << 16) - 1, 'c'}, {1 << 16, 'd'}, {0, 'e'}};
    std::string script;
    for (const auto& [length, c] : lines)
        script += "head -c " + std::to_string(length) + " /dev/zero | tr '\\0' " + c + "; echo; ";
    LINE_CHANNEL lineMaker = shellChannel(script);
    CloseChannelInput(lineMaker);
    std::string line;
    for (const auto& [length, c] : lines) {
        ASSERT_TRUE(ReadChannelLine(lineMaker, line));
        EXPECT_EQ(line, std::string(length, c));
    }
    EXPECT_FALSE(ReadChannelLine(lineMaker, line));
    WaitForChannel(lineMaker);
}

TEST(PipeChannel, ReadsAndWritesOnWhileSignalsInterruptThem) {
    // SIGALRM every millisecond, its handler returning without a restart
    // of the call it interrupted.
    struct sigaction tick {
    }, old{};
    tick.sa_handler = [](int) { ticks = ticks + 1; };
    ::sigaction(SIGALRM, &tick, &old);
    const itimerval every{{0, 1000}, {0, 1000}}, off{};
    ::setitimer(ITIMER_REAL, &every, nullptr);

    LINE_CHANNEL late = shellChannel("sleep 0.2; echo late");
    std::string line;
    EXPECT_TRUE(ReadChannelLine(late, line));
    EXPECT_EQ(line, "late");
    EXPECT_GT(ticks, 0);
    WaitForChannel(late);
    // More than the pipe holds, taken in parts, some cut short by a signal.
    LINE_CHANNEL counter = shellChannel("wc -c");
    const std::string text(std::size_t{1} << 22, 'x');
    EXPECT_TRUE(WriteToChannel(counter, text));
    CloseChannelInput(counter);
    EXPECT_TRUE(ReadChannelLine(counter, line));
    EXPECT_EQ(line, std::to_string(text.size()));
    WaitForChannel(counter);

    ::setitimer(ITIMER_REAL, &off, nullptr);
    ::sigaction(SIGALRM, &old, nullptr);
}

TEST(PipeChannel, AChildThatWentAwayIsAFailedWriteAndNoSignal) {
    // SIGPIPE at its default action would end this test.
    struct sigaction byDefault {
    }, old{};
    byDefault.sa_handler = SIG_DFL;
    ::sigaction(SIGPIPE, &byDefault, &old);
    LINE_CHANNEL channel = shellChannel("exit 0");
    std::string line;
    EXPECT_FALSE(ReadChannelLine(channel, line));  // its output closed: it ended
    EXPECT_FALSE(WriteToChannel(channel, std::string(1 << 17, 'x')));
    EXPECT_EQ(errno, EPIPE);
    sigset_t pending;
    ::sigpending(&pending);
    EXPECT_FALSE(sigismember(&pending, SIGPIPE));
    WaitForChannel(channel);
    ::sigaction(SIGPIPE, &old, nullptr);
}

TEST(PipeChannel, WriteAllReportsAFailureAfterAPartWasWritten) {
    int fds[2];
    ASSERT_EQ(::pipe2(fds, O_CLOEXEC | O_NONBLOCK), 0);
    const int capacity = ::fcntl(fds[1], F_GETPIPE_SZ);
    EXPECT_FALSE(WriteAll(fds[1], std::string(static_cast<std::size_t>(capacity) + 1, 'x')));
    EXPECT_EQ(errno, EAGAIN);
    ::close(fds[1]);
    LINE_READER reader;
    reader.fd = fds[0];
    std::string bytes;
    EXPECT_TRUE(ReadBytes(reader, static_cast<std::size_t>(capacity), bytes));
    EXPECT_FALSE(ReadBytes(reader, 1, bytes));
    ::close(fds[0]);
}
