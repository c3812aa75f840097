#include "evaluation/solve/solver.hpp"

#include <fcntl.h>
#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstring>

#include "common/child.hpp"
#include "common/chunks.hpp"
#include "common/pipe_channel.hpp"
#include "evaluation/solve/answer_sets.hpp"

namespace vok::evaluation {

namespace {

std::string errnoText(int err) { return std::strerror(err); }

void closeFd(int& fd) {
    if (fd >= 0) ::close(fd);
    fd = -1;
}

std::string describeExit(int code) {
    std::string what = "clingo ended with status " + std::to_string(code);
    switch (code) {
        case 0: return what + " before solving finished";
        case 1: return what + " (interrupted, or its options were refused)";
        case 33: return what + " (out of memory)";
        case 65: return what + " (error)";
        case 128: return what + " (it did not run)";
        default: return what + " before solving finished";
    }
}

// clingo while it runs, for the handlers that stop it (signals, memory
// running out).
volatile std::sig_atomic_t runningClingo = 0;

// Waited for without being reaped first, so that the handlers never
// signal a process id that was given to another process. A child that
// cannot be waited for reads as status 0, which says it did not finish.
int waitForExit(pid_t pid) {
    const int status = WaitForChild(pid, [](pid_t) { runningClingo = 0; });
    return status < 0 ? 0 : status;
}

// The signals that stop clingo and this program wait while it lives.
struct SIGNALS_HELD {
    sigset_t old;
    SIGNALS_HELD() {
        sigset_t set;
        sigemptyset(&set);
        for (int sig : {SIGHUP, SIGINT, SIGTERM}) sigaddset(&set, sig);
        ::sigprocmask(SIG_BLOCK, &set, &old);
    }
    ~SIGNALS_HELD() { ::sigprocmask(SIG_SETMASK, &old, nullptr); }
    SIGNALS_HELD(const SIGNALS_HELD&) = delete;
    SIGNALS_HELD& operator=(const SIGNALS_HELD&) = delete;
};

// clingo running as a child process. However the run leaves it (an error,
// an exception), clingo is stopped and reaped.
struct CHILD {
    pid_t pid = -1;
    int in = -1;   // our end of the pipe to its standard input
    int out = -1;  // our end of the pipe from its standard output
    int err = -1;  // our end of the pipe from its standard error

    CHILD() = default;
    CHILD(const CHILD&) = delete;
    CHILD& operator=(const CHILD&) = delete;
    ~CHILD() {
        closeFd(in);
        closeFd(out);
        closeFd(err);
        if (pid > 0) {
            ::kill(pid, SIGKILL);
            waitForExit(pid);
        }
    }
};

void closeAll(CHILD& child) {
    closeFd(child.in);
    closeFd(child.out);
    closeFd(child.err);
}

// Starts path with the arguments, its standard input and output (and
// error, unless -1) on the given descriptors, SIGPIPE back at its default
// action and no signal blocked, whatever this process set for itself.
// Returns 0 or an errno value. clingo runs in a process group of its own:
// a signal sent to this program's group (Ctrl-C, vok ending its run)
// reaches this program alone, which then stops clingo at once, rather than
// clingo too, which would begin an end of its own and print about it.
int spawnWithPipes(const std::string& path, const std::vector<std::string>& args, int input,
                   int output, pid_t& pid, int error = -1) {
    CHILD_START start;
    start.program = path;
    start.argv.reserve(args.size() + 1);
    start.argv.push_back(path);
    start.argv.insert(start.argv.end(), args.begin(), args.end());
    start.searchPath = true;
    start.input = input;
    start.output = output;
    start.error = error;
    start.defaultSignals = true;
    start.ownGroup = true;
    return StartChild(start, pid);
}

// Starts clingo on three new pipes, the one to it not blocking; returns why
// it could not be started, or nothing.
std::string startClingo(const SOLVER_CALL& call, CHILD& child) {
    int pipes[3][2];  // to its standard input, from its standard output and error
    for (int p = 0; p < 3; ++p) {
        if (::pipe2(pipes[p], O_CLOEXEC) == 0) continue;
        std::string error = "cannot make a pipe: " + errnoText(errno);
        for (int q = 0; q < p; ++q) {
            ::close(pipes[q][0]);
            ::close(pipes[q][1]);
        }
        return error;
    }
    std::vector<std::string> args = clingoArguments(call);
    int err;
    {
        // No signal ends this program between the start and the note that
        // clingo runs, which would leave clingo running on its own.
        SIGNALS_HELD held;
        err = spawnWithPipes(call.clingo, args, pipes[0][0], pipes[1][1], child.pid, pipes[2][1]);
        if (err == 0) runningClingo = child.pid;
    }
    ::close(pipes[0][0]);
    ::close(pipes[1][1]);
    ::close(pipes[2][1]);
    child.in = pipes[0][1];
    child.out = pipes[1][0];
    child.err = pipes[2][0];
    if (err != 0) {
        child.pid = -1;
        closeAll(child);
        if (err == ENOMEM) MemoryRanOut();
        return "cannot run clingo \"" + call.clingo + "\": " + errnoText(err);
    }
    ::fcntl(child.in, F_SETFL, ::fcntl(child.in, F_GETFL) | O_NONBLOCK);
    return {};
}

// Writes as much of the rest of the program as the pipe takes; closes the
// pipe once all is written, or when clingo stopped reading (it failed, or
// was told not to read us; its exit status says which). Any other failed
// write would leave clingo with part of the program, which it might solve
// as if it were the whole: its text, or nothing.
std::string writeSome(CHILD& child, std::string_view program, std::size_t& written) {
    const ssize_t w = WriteSome(child.in, program.substr(written));
    if (w > 0) {
        written += static_cast<std::size_t>(w);
        if (written == program.size()) closeFd(child.in);
    } else if (w < 0 && errno == EPIPE) {
        closeFd(child.in);
    } else if (w < 0 && errno != EAGAIN) {
        return "cannot write the program to clingo: " + errnoText(errno);
    }
    return {};
}

// Reads what clingo printed; closes the pipe at its end. False when a model
// could not be read or written.
bool readSome(CHILD& child, std::vector<char>& chunk, OUTPUT_READER& reader,
              const std::function<bool(std::string_view)>& emit) {
    const ssize_t r = ReadSome(child.out, chunk.data(), chunk.size());
    if (r > 0) return feedOutput(reader, chunk.data(), static_cast<std::size_t>(r), emit);
    if (r == 0 || errno != EAGAIN) closeFd(child.out);
    return true;
}

// A failure leaves nowhere to say it.
void writeError(std::string_view text) { WriteAll(2, text); }

// clingo's standard error, passed on to ours a whole line at a time, its
// notes of an interruption left out unless they are wanted.
struct ERROR_LINES {
    std::string buffer;  // the start of a line not yet whole
    bool keepNotes = false;
};

void passErrorLines(ERROR_LINES& lines, std::string_view data) {
    lines.buffer.append(data);
    std::size_t start = 0;
    for (std::size_t end; (end = lines.buffer.find('\n', start)) != std::string::npos;
         start = end + 1) {
        std::string_view line = std::string_view(lines.buffer).substr(start, end - start);
        if (lines.keepNotes || !IsInterruptionNote(line))
            writeError(std::string_view(lines.buffer).substr(start, end + 1 - start));
    }
    lines.buffer.erase(0, start);
}

// Reads what clingo said on its standard error; at its end the rest of a
// line without a line end goes too.
void readErrors(CHILD& child, std::vector<char>& chunk, ERROR_LINES& lines) {
    const ssize_t r = ReadSome(child.err, chunk.data(), chunk.size());
    if (r > 0) {
        passErrorLines(lines, std::string_view(chunk.data(), static_cast<std::size_t>(r)));
    } else if (r == 0 || errno != EAGAIN) {
        closeFd(child.err);
        if (lines.keepNotes || !IsInterruptionNote(lines.buffer)) writeError(lines.buffer);
        lines.buffer.clear();
    }
}

// Feeds the program to clingo while reading its output and its messages,
// until clingo closes both; returns why reading had to stop before, or
// nothing.
std::string exchange(CHILD& child, std::string_view program, OUTPUT_READER& reader,
                     const std::function<bool(std::string_view)>& emit, ERROR_LINES& errors) {
    std::size_t written = 0;
    if (program.empty()) closeFd(child.in);
    std::vector<char> chunk(1 << 16);
    while (child.out >= 0 || child.err >= 0) {
        // Only the descriptors still open are watched; -1 makes poll skip one.
        pollfd fds[3] = {{child.out, POLLIN, 0}, {child.err, POLLIN, 0}, {child.in, POLLOUT, 0}};
        if (PollRetrying(fds, 3, -1) < 0) return "poll failed: " + errnoText(errno);
        const short ready = POLLIN | POLLERR | POLLHUP;
        if (child.in >= 0 && (fds[2].revents & (POLLOUT | POLLERR | POLLHUP))) {
            std::string error = writeSome(child, program, written);
            if (!error.empty()) return error;
        }
        if (child.err >= 0 && (fds[1].revents & ready)) readErrors(child, chunk, errors);
        if (child.out >= 0 && (fds[0].revents & ready) && !readSome(child, chunk, reader, emit))
            return reader.error;
    }
    return {};
}

// A signal that ends this program ends clingo too, which would otherwise
// search on for a reader that is gone.
void stopClingoAndDie(int sig) {
    StopClingo();
    ::signal(sig, SIG_DFL);
    ::raise(sig);
}

// Signals that were ignored when the program began (nohup) stay ignored.
void stopClingoOnSignals() {
    for (int sig : {SIGHUP, SIGINT, SIGTERM})
        if (::signal(sig, stopClingoAndDie) == SIG_IGN) ::signal(sig, SIG_IGN);
}

// Why a run whose output was read to its end did not finish, from clingo's
// wait status and what it printed; nothing when it finished.
std::string failureOf(int status, const OUTPUT_READER& reader, const SOLVER_CALL& call) {
    if (WIFSIGNALED(status)) {
        int sig = WTERMSIG(status);
        const char* name = ::strsignal(sig);
        return "clingo was killed by signal " + std::to_string(sig) +
               (name ? std::string(" (") + name + ")" : std::string());
    }
    if (reader.timeLimitReached) {
        const std::string seconds = TimeLimitOf(call.options);
        return "time limit " + (seconds.empty() ? std::string() : "of " + seconds + " s ") +
               "reached before solving finished";
    }
    // The one-run script prints no summary; it says when a search was
    // interrupted, which with a time limit is the limit.
    if (call.oneRun && reader.interrupted) {
        const std::string seconds = TimeLimitOf(call.options);
        if (!seconds.empty())
            return "time limit of " + seconds + " s reached before solving finished";
        return "clingo was interrupted before the minimal answer sets were complete";
    }
    int code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    // clingo's exit status: 10 answer sets found, 20 search space used up
    // without one, 30 both; anything else means it did not finish.
    if (code != 10 && code != 20 && code != 30) return describeExit(code);
    // After a script, clingo's status is that of the script's last solve
    // call, which says nothing about the whole run: only the closing line does.
    if (call.oneRun) {
        if (reader.expectModel || !reader.closed)
            return "clingo ended before the minimal answer sets were complete";
        return {};
    }
    if (reader.expectModel || (code != 20 && reader.answerSets == 0))
        return "clingo reported answer sets, but its output did not show them whole";
    // 10 says the search space was not used up: right when it stopped at
    // the number of answer sets asked for, but otherwise a limit of its own
    // (--solve-limit=, ...) cut the list short.
    if (code == 10 && (call.maxModels == 0 || reader.answerSets < call.maxModels))
        return "clingo stopped before it had found every answer set asked for (a limit among "
               "its options?)";
    return {};
}

// The one line that the models of a folding run made; a failed write is
// the run's failure, as for any answer set.
void emitFolded(const OUTPUT_READER& reader, const std::function<bool(std::string_view)>& emit,
                SOLVER_OUTCOME& outcome) {
    std::string line;
    try {
        line = FoldedAnswerSet(reader);
    } catch (const ANSWER_SET_ERROR& e) {
        outcome.error = e.what();
        outcome.finished = false;
        return;
    }
    if (emit(line)) return;
    outcome.outputClosed = errno == EPIPE;
    outcome.error = "the answer sets could not be written: " + errnoText(errno);
    outcome.finished = false;
}

}  // namespace

void StopClingo() {
    const pid_t pid = static_cast<pid_t>(runningClingo);
    if (pid <= 0) return;
    runningClingo = 0;
    ::kill(pid, SIGKILL);
    WaitPidRetrying(pid, nullptr, 0);
}

unsigned EnsureStandardDescriptors() {
    unsigned closed = 0;
    for (int fd = 0; fd <= 2; ++fd) {
        if (::fcntl(fd, F_GETFD) != -1 || errno != EBADF) continue;
        closed |= 1u << fd;
        int opened = ::open("/dev/null", fd == 0 ? O_RDONLY : O_WRONLY);
        if (opened >= 0 && opened != fd) {
            ::dup2(opened, fd);
            ::close(opened);
        }
    }
    return closed;
}

std::string ClingoVersion(const std::string& clingo) {
    int nothing = ::open("/dev/null", O_RDONLY | O_CLOEXEC);
    int fromChild[2];
    if (nothing < 0) return {};
    if (::pipe2(fromChild, O_CLOEXEC) != 0) {
        ::close(nothing);
        return {};
    }
    std::vector<std::string> args{"--version"};
    pid_t pid = -1;
    int err = spawnWithPipes(clingo, args, nothing, fromChild[1], pid);
    ::close(nothing);
    ::close(fromChild[1]);
    if (err == ENOMEM) {
        ::close(fromChild[0]);
        MemoryRanOut();
    }
    std::string text;
    char buf[4096];
    for (ssize_t r; err == 0 && (r = ReadSome(fromChild[0], buf, sizeof buf)) > 0;)
        text.append(buf, static_cast<std::size_t>(r));
    ::close(fromChild[0]);
    if (err == 0) waitForExit(pid);
    std::string first = text.substr(0, text.find('\n'));
    return first.starts_with("clingo version ") ? first : std::string();
}

bool IsInterruptionNote(std::string_view line) {
    return line.starts_with("*** Info : (") &&
           (line.ends_with("): INTERRUPTED by signal!") || line.ends_with("): Queueing signal..."));
}

std::string TimeLimitOf(const std::vector<std::string>& options) {
    constexpr std::string_view name = "--time-limit";
    for (std::size_t i = 0; i < options.size(); ++i) {
        const std::string_view option = options[i];
        if (option == name && i + 1 < options.size()) return options[i + 1];
        if (option.starts_with(name) && option.substr(name.size()).starts_with('='))
            return std::string(option.substr(name.size() + 1));
    }
    return {};
}

std::vector<std::string> clingoArguments(const SOLVER_CALL& call) {
    // Warnings are off first, so that an option passed on can turn them on
    // again; the output settings come last because the reading depends on
    // them (clingo refuses a second --verbose or --outf rather than take it).
    std::vector<std::string> args{"--warn=none"};
    if (call.stats) args.push_back("--stats");
    args.insert(args.end(), call.options.begin(), call.options.end());
    if (call.oneRun) {
        // The script limits the answer sets and marks those to be printed;
        // the Domain heuristic is what makes its first answer set in each
        // round a minimal one.
        args.insert(args.end(), {"--models=0", "--heuristic=Domain", "--outf=0", "--verbose=0"});
    } else {
        if (!call.enumMode.empty()) args.push_back("--enum-mode=" + call.enumMode);
        args.push_back("--models=" + std::to_string(call.maxModels));
        args.push_back("--outf=0");
        args.push_back("--verbose=1");
    }
    args.push_back("-");
    return args;
}

SOLVER_OUTCOME Solve(const SOLVER_CALL& call, std::string_view program,
                     const std::function<bool(std::string_view)>& emit) {
    SOLVER_OUTCOME outcome;
    // A reader of our output that goes away must show up as a write error,
    // not end this process before clingo is stopped.
    std::signal(SIGPIPE, SIG_IGN);
    stopClingoOnSignals();

    CHILD child;
    outcome.error = startClingo(call, child);
    if (!outcome.error.empty()) return outcome;
    OUTPUT_READER reader;
    reader.dataNames = call.dataNames;
    reader.fold = call.fold;
    reader.settled = call.settled;
    ERROR_LINES errors;
    errors.keepNotes = call.stats;
    const std::string stopped = exchange(child, program, reader, emit, errors);
    closeAll(child);
    if (!stopped.empty()) ::kill(child.pid, SIGKILL);  // its output is no longer wanted
    const int status = waitForExit(child.pid);
    child.pid = -1;
    outcome.answerSets = reader.answerSets;
    // clingo adds 20 to its exit status when the search space was used up.
    outcome.exhausted =
        WIFEXITED(status) && (WEXITSTATUS(status) == 20 || WEXITSTATUS(status) == 30);
    outcome.summary = std::move(reader.summary);
    outcome.outputClosed = reader.outputClosed;
    outcome.error = stopped.empty() ? failureOf(status, reader, call) : stopped;
    outcome.finished = outcome.error.empty();
    if (outcome.finished && call.fold != FOLD::NONE && reader.answerSets > 0)
        emitFolded(reader, emit, outcome);
    return outcome;
}

void StopClingoOnSignals() {
    std::signal(SIGPIPE, SIG_IGN);
    stopClingoOnSignals();
}

namespace {

// The script of a session waits in a pipe of its own, read by clingo as
// /dev/fd/3. The pipe is made to hold the script, which is written whole
// before clingo starts.
bool scriptPipe(std::string_view script, int& readEnd) {
    int fds[2];
    if (::pipe2(fds, O_CLOEXEC) != 0) return false;
    ::fcntl(fds[1], F_SETPIPE_SZ, static_cast<int>(script.size() + 4096));
    if (!WriteAll(fds[1], script)) {
        ::close(fds[0]);
        ::close(fds[1]);
        return false;
    }
    ::close(fds[1]);
    readEnd = fds[0];
    return true;
}

// Started with the ending signals held until it is known as the running
// clingo (StopClingo stops it too).
int startClingoChild(const CHILD_START& start, pid_t& pid) {
    SIGNALS_HELD held;
    const int err = StartChild(start, pid);
    if (err == 0) runningClingo = pid;
    return err;
}

}  // namespace

std::string StartSessionClingo(const std::string& clingo, const std::vector<std::string>& args,
                               std::string_view script, LINE_CHANNEL& channel) {
    int scriptEnd = -1;
    if (!scriptPipe(script, scriptEnd)) return "cannot make a pipe: " + errnoText(errno);
    CHILD_START start;
    start.program = clingo;
    start.argv.push_back(clingo);
    start.argv.insert(start.argv.end(), args.begin(), args.end());
    start.searchPath = true;
    start.fourth = scriptEnd;
    start.defaultSignals = true;
    // A group of its own: a signal sent to this program's group (Ctrl-C,
    // vok ending the session) reaches this program alone, which then kills
    // clingo, instead of clingo too, which would print that it was
    // interrupted. Left alone, clingo ends at the end of its input.
    start.ownGroup = true;
    bool pipesFailed = false;
    const int err = StartChannel(channel, start, startClingoChild, pipesFailed);
    ::close(scriptEnd);
    if (pipesFailed) return "cannot make a pipe: " + errnoText(err);
    if (err == ENOMEM) MemoryRanOut();
    if (err != 0) return "cannot run clingo \"" + clingo + "\": " + errnoText(err);
    // A reply cut short means that clingo was: it is no reply.
    channel.output.unendedLastLine = false;
    return {};
}

namespace {

// The time left until deadline, in whole milliseconds.
int millisecondsUntil(std::chrono::steady_clock::time_point deadline) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
        deadline - std::chrono::steady_clock::now());
    return left.count() > 0 ? static_cast<int>(left.count()) : 0;
}

// Reads what the child still writes until its output ends or the deadline.
void drainUntil(LINE_CHANNEL& channel, std::chrono::steady_clock::time_point deadline) {
    char chunk[4096];
    while (channel.output.fd >= 0) {
        pollfd out{channel.output.fd, POLLIN, 0};
        const int left = millisecondsUntil(deadline);
        if (left == 0 || PollRetrying(&out, 1, left) <= 0) return;
        if (ReadSome(channel.output.fd, chunk, sizeof chunk) <= 0) return;
    }
}

// Whether the child has ended by the deadline (it is not reaped).
bool endsBy(pid_t pid, std::chrono::steady_clock::time_point deadline) {
    for (;;) {
        siginfo_t info{};
        if (::waitid(P_PID, static_cast<id_t>(pid), &info, WEXITED | WNOHANG | WNOWAIT) < 0)
            return errno != EINTR;
        if (info.si_pid != 0) return true;
        if (millisecondsUntil(deadline) == 0) return false;
        ::usleep(10000);
    }
}

// clingo's exit code below 33 adds up what it knew: 1 interrupted (by a
// signal it caught, such as SIGTERM), 10 answer sets found, 20 search
// space used up.
std::string exitWords(int code) {
    std::string words = "clingo ended with status " + std::to_string(code);
    if (code == 33) return words + " (out of memory)";
    if (code == 65) return words + " (error)";
    if (code == 1 || code == 11 || code == 21 || code == 31) return words + " (interrupted)";
    return words;
}

}  // namespace

std::string SessionClingoEnd(LINE_CHANNEL& channel) {
    if (channel.pid < 0) return "clingo ended";
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(2);
    drainUntil(channel, deadline);
    const bool ended = endsBy(channel.pid, deadline);
    const int status = StopSessionClingo(channel, !ended);
    if (!ended) return "clingo closed its output but did not end, and was stopped";
    if (WIFSIGNALED(status)) {
        const int sig = WTERMSIG(status);
        const char* name = ::strsignal(sig);
        return "clingo ended by signal " + std::to_string(sig) +
               (name ? std::string(" (") + name + ")" : std::string());
    }
    return exitWords(WIFEXITED(status) ? WEXITSTATUS(status) : 0);
}

int StopSessionClingo(LINE_CHANNEL& channel, bool kill) {
    if (channel.pid < 0) return 0;
    if (kill) ::kill(channel.pid, SIGKILL);
    const int status = WaitForChannel(channel, [](pid_t) { runningClingo = 0; });
    return status < 0 ? 0 : status;
}

}  // namespace vok::evaluation
