#include "common/pipe_channel.hpp"

#include <fcntl.h>
#include <signal.h>
#include <time.h>
#include <unistd.h>

#include <cerrno>

namespace {

void closeFd(int& fd) {
    if (fd >= 0) ::close(fd);
    fd = -1;
}

// SIGPIPE held while writing to a child: a child that went away is a
// failed write, not the end of this process (SIGPIPE from standard output
// still may be).
struct PIPE_SIGNAL_HELD {
    sigset_t old{};
    PIPE_SIGNAL_HELD() {
        sigset_t pipe = pipeSignal();
        ::sigprocmask(SIG_BLOCK, &pipe, &old);
    }
    ~PIPE_SIGNAL_HELD() { ::sigprocmask(SIG_SETMASK, &old, nullptr); }
    PIPE_SIGNAL_HELD(const PIPE_SIGNAL_HELD&) = delete;
    PIPE_SIGNAL_HELD& operator=(const PIPE_SIGNAL_HELD&) = delete;

    static sigset_t pipeSignal() {
        sigset_t pipe;
        sigemptyset(&pipe);
        sigaddset(&pipe, SIGPIPE);
        return pipe;
    }
    // Takes back the SIGPIPE a failed write raised, before it is let through.
    static void forget() {
        const sigset_t pipe = pipeSignal();
        const timespec none{0, 0};
        while (::sigtimedwait(&pipe, nullptr, &none) < 0 && errno == EINTR) {
        }
    }
};

// Moves what is not yet taken to the front and reads more after it, so that
// the buffer holds at most one line and a chunk; false at the end.
bool fill(LINE_READER& reader) {
    if (reader.ended) return false;
    reader.buffer.erase(0, reader.taken);
    reader.taken = 0;
    char chunk[1 << 16];
    const ssize_t r = reader.fd < 0 ? 0 : ReadSome(reader.fd, chunk, sizeof chunk);
    if (r <= 0) {
        reader.ended = true;
        return false;
    }
    reader.buffer.append(chunk, static_cast<std::size_t>(r));
    return true;
}

}  // namespace

bool WriteAll(int fd, std::string_view text) {
    while (!text.empty()) {
        const ssize_t w = WriteSome(fd, text);
        if (w <= 0) return false;
        text.remove_prefix(static_cast<std::size_t>(w));
    }
    return true;
}

ssize_t WriteSome(int fd, std::string_view text) {
    ssize_t w;
    while ((w = ::write(fd, text.data(), text.size())) < 0 && errno == EINTR) {
    }
    return w;
}

ssize_t ReadSome(int fd, char* buffer, std::size_t size) {
    ssize_t r;
    while ((r = ::read(fd, buffer, size)) < 0 && errno == EINTR) {
    }
    return r;
}

int PollRetrying(pollfd* fds, nfds_t count, int timeout) {
    int r;
    while ((r = ::poll(fds, count, timeout)) < 0 && errno == EINTR) {
    }
    return r;
}

bool ReadLine(LINE_READER& reader, std::string& line) {
    // How much of the line's start has been searched for its end already:
    // a line of megabytes arrives in many chunks, and each is searched once.
    std::size_t searched = 0;
    for (;;) {
        const std::size_t end = reader.buffer.find('\n', reader.taken + searched);
        if (end != std::string::npos) {
            line.assign(reader.buffer, reader.taken, end - reader.taken);
            reader.taken = end + 1;
            return true;
        }
        searched = reader.buffer.size() - reader.taken;
        if (fill(reader)) continue;
        if (!reader.unendedLastLine || reader.taken >= reader.buffer.size()) return false;
        line.assign(reader.buffer, reader.taken);
        reader.taken = reader.buffer.size();
        return true;
    }
}

bool ReadBytes(LINE_READER& reader, std::size_t n, std::string& bytes) {
    while (reader.buffer.size() - reader.taken < n)
        if (!fill(reader)) return false;
    bytes.assign(reader.buffer, reader.taken, n);
    reader.taken += n;
    return true;
}

int StartChannel(LINE_CHANNEL& channel, CHILD_START start, CHILD_STARTER starter,
                 bool& pipesFailed) {
    int toChild[2] = {-1, -1}, fromChild[2] = {-1, -1};
    pipesFailed = ::pipe2(toChild, O_CLOEXEC) != 0 || ::pipe2(fromChild, O_CLOEXEC) != 0;
    if (pipesFailed) {
        const int err = errno;
        for (int fd : {toChild[0], toChild[1], fromChild[0], fromChild[1]})
            if (fd >= 0) ::close(fd);
        return err;
    }
    start.input = toChild[0];
    start.output = fromChild[1];
    pid_t pid = -1;
    const int err = starter(start, pid);
    ::close(toChild[0]);
    ::close(fromChild[1]);
    if (err != 0) {
        ::close(toChild[1]);
        ::close(fromChild[0]);
        return err;
    }
    channel.pid = pid;
    channel.in = toChild[1];
    channel.output.fd = fromChild[0];
    channel.output.ended = false;
    channel.output.buffer.clear();
    channel.output.taken = 0;
    return 0;
}

bool WriteToChannel(LINE_CHANNEL& channel, std::string_view text) {
    if (channel.in < 0) return text.empty();
    PIPE_SIGNAL_HELD held;
    if (WriteAll(channel.in, text)) return true;
    const int err = errno;
    if (err == EPIPE) PIPE_SIGNAL_HELD::forget();
    errno = err;
    return false;
}

bool ReadChannelLine(LINE_CHANNEL& channel, std::string& line) {
    if (ReadLine(channel.output, line)) return true;
    closeFd(channel.output.fd);
    return false;
}

void CloseChannelInput(LINE_CHANNEL& channel) { closeFd(channel.in); }

int WaitForChannel(LINE_CHANNEL& channel, void (*beforeReap)(pid_t)) {
    closeFd(channel.in);
    closeFd(channel.output.fd);
    if (channel.pid < 0) return -1;
    const int status = WaitForChild(channel.pid, beforeReap);
    channel.pid = -1;
    return status;
}
