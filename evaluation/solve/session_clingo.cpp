#include "evaluation/solve/session_clingo.hpp"

#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "common/child.hpp"
#include "common/chunks.hpp"
#include "evaluation/solve/solver.hpp"

namespace vok::evaluation {

namespace {

void closeFd(int& fd) {
    if (fd >= 0) ::close(fd);
    fd = -1;
}

// The script waits in a pipe of its own, read by clingo as /dev/fd/3. The
// pipe is made to hold the script, which is written whole before clingo
// starts.
bool scriptPipe(std::string_view script, int& readEnd) {
    int fds[2];
    if (::pipe2(fds, O_CLOEXEC) != 0) return false;
    ::fcntl(fds[1], F_SETPIPE_SZ, static_cast<int>(script.size() + 4096));
    std::size_t written = 0;
    while (written < script.size()) {
        ssize_t w = ::write(fds[1], script.data() + written, script.size() - written);
        if (w < 0 && errno == EINTR) continue;
        if (w <= 0) {
            ::close(fds[0]);
            ::close(fds[1]);
            return false;
        }
        written += static_cast<std::size_t>(w);
    }
    ::close(fds[1]);
    readEnd = fds[0];
    return true;
}

}  // namespace

std::string StartSessionClingo(const std::string& clingo, const std::vector<std::string>& args,
                               std::string_view script, CLINGO_CHANNEL& channel) {
    int toChild[2] = {-1, -1}, fromChild[2] = {-1, -1}, scriptEnd = -1;
    if (::pipe2(toChild, O_CLOEXEC) != 0 || ::pipe2(fromChild, O_CLOEXEC) != 0 ||
        !scriptPipe(script, scriptEnd)) {
        std::string error = "cannot make a pipe: " + std::string(std::strerror(errno));
        for (int fd : {toChild[0], toChild[1], fromChild[0], fromChild[1]})
            if (fd >= 0) ::close(fd);
        return error;
    }
    CHILD_START start;
    start.program = clingo;
    start.argv.push_back(clingo);
    start.argv.insert(start.argv.end(), args.begin(), args.end());
    start.searchPath = true;
    start.input = toChild[0];
    start.output = fromChild[1];
    start.fourth = scriptEnd;
    start.defaultSignals = true;
    // A group of its own: a signal sent to this program's group (Ctrl-C,
    // vok ending the session) reaches this program alone, which then kills
    // clingo, instead of clingo too, which would print that it was
    // interrupted. Left alone, clingo ends at the end of its input.
    start.ownGroup = true;
    pid_t pid = -1;
    const int err = StartClingoChild(start, pid);
    ::close(scriptEnd);
    ::close(toChild[0]);
    ::close(fromChild[1]);
    if (err != 0) {
        ::close(toChild[1]);
        ::close(fromChild[0]);
        if (err == ENOMEM) MemoryRanOut();
        return "cannot run clingo \"" + clingo + "\": " + std::strerror(err);
    }
    channel.pid = pid;
    channel.in = toChild[1];
    channel.out = fromChild[0];
    channel.pending.clear();
    channel.taken = 0;
    return {};
}

bool SendToClingo(CLINGO_CHANNEL& channel, std::string_view text) {
    while (!text.empty()) {
        if (channel.in < 0) return false;
        ssize_t w = ::write(channel.in, text.data(), text.size());
        if (w < 0 && errno == EINTR) continue;
        if (w <= 0) return false;
        text.remove_prefix(static_cast<std::size_t>(w));
    }
    return true;
}

bool ReadFromClingo(CLINGO_CHANNEL& channel, std::string& line) {
    for (;;) {
        const std::size_t end = channel.pending.find('\n', channel.taken);
        if (end != std::string::npos) {
            line.assign(channel.pending, channel.taken, end - channel.taken);
            channel.taken = end + 1;
            return true;
        }
        // The rest moves to the front before more is read, so that the
        // buffer holds at most one line and a chunk.
        channel.pending.erase(0, channel.taken);
        channel.taken = 0;
        if (channel.out < 0) return false;
        char chunk[1 << 16];
        ssize_t r = ::read(channel.out, chunk, sizeof chunk);
        if (r < 0 && errno == EINTR) continue;
        if (r <= 0) {
            closeFd(channel.out);
            return false;
        }
        channel.pending.append(chunk, static_cast<std::size_t>(r));
    }
}

int StopSessionClingo(CLINGO_CHANNEL& channel, bool kill) {
    if (channel.pid < 0) return 0;
    if (kill) ::kill(channel.pid, SIGKILL);
    closeFd(channel.in);
    closeFd(channel.out);
    const int status = WaitForClingo(channel.pid);
    channel.pid = -1;
    return status;
}

}  // namespace vok::evaluation
