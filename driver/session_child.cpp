#include "driver/session_child.hpp"

#include <signal.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>

#include "common/contract.hpp"

namespace {

// SIGPIPE held while writing to the child: a child that went away is a
// failed write, not the end of vok (SIGPIPE from standard output still is).
struct PIPE_SIGNAL_HELD {
    sigset_t old{};
    PIPE_SIGNAL_HELD() {
        sigset_t pipe;
        sigemptyset(&pipe);
        sigaddset(&pipe, SIGPIPE);
        ::sigprocmask(SIG_BLOCK, &pipe, &old);
    }
    // Takes back the SIGPIPE a failed write raised, before it is let through.
    static void forget() {
        sigset_t pipe;
        sigemptyset(&pipe);
        sigaddset(&pipe, SIGPIPE);
        timespec none{0, 0};
        while (::sigtimedwait(&pipe, nullptr, &none) < 0 && errno == EINTR) {
        }
    }
    ~PIPE_SIGNAL_HELD() { ::sigprocmask(SIG_SETMASK, &old, nullptr); }
};

// Whether a line read so far ends inside a quoted string: only the lines
// that hold atoms may go on (a string of the input may hold a line end,
// and no quote).
bool insideString(const std::string& line) {
    return HoldsAtoms(SessionLineKind(line)) && std::count(line.begin(), line.end(), '"') % 2 == 1;
}

}  // namespace

SESSION_CHILD StartSessionChild(const std::string& command) {
    SESSION_CHILD child;
    child.run = StartShellDialog(command, child.input);
    return child;
}

bool WriteToChild(SESSION_CHILD& child, std::string_view text) {
    PIPE_SIGNAL_HELD held;
    while (!text.empty()) {
        if (child.input < 0) return false;
        ssize_t w = ::write(child.input, text.data(), text.size());
        if (w < 0 && errno == EINTR) continue;
        if (w <= 0) {
            if (errno == EPIPE) PIPE_SIGNAL_HELD::forget();
            return false;
        }
        text.remove_prefix(static_cast<std::size_t>(w));
    }
    return true;
}

bool ReadChildLine(SESSION_CHILD& child, std::string& line) {
    line.clear();
    if (!child.run.output) return false;
    char* buffer = nullptr;
    std::size_t capacity = 0;
    bool any = false;
    ssize_t length;
    while ((length = ::getline(&buffer, &capacity, child.run.output)) > 0) {
        any = true;
        line.append(buffer, static_cast<std::size_t>(length));
        if (!insideString(line)) break;
    }
    std::free(buffer);
    if (!line.empty() && line.back() == '\n') line.pop_back();
    return any;
}

int FinishSessionChild(SESSION_CHILD& child) {
    if (child.input >= 0) ::close(child.input);
    child.input = -1;
    std::string rest;
    while (ReadChildLine(child, rest)) {
    }
    if (child.run.pid < 0) return 1;
    const int status = FinishShellCommand(child.run);
    if (status == -1) return 1;
    if (WIFEXITED(status)) return WEXITSTATUS(status);
    if (WIFSIGNALED(status)) return 128 + WTERMSIG(status);
    return 1;
}
