#include "process.hpp"

#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <cerrno>

#include "base/exits.hpp"
#include "common/child.hpp"
#include "common/chunks.hpp"

namespace {

CHILD_START shellStart(const std::string& command) {
    // A process group of its own: the shell need not run the command in
    // its own place, and the command may start processes of its own (the
    // solver); stopping the group reaches them all.
    CHILD_START start;
    start.program = "/bin/sh";
    start.argv = {"sh", "-c", command};
    start.ownGroup = true;
    return start;
}

// input: a descriptor to be the command's standard input, or -1 for this
// process's own.
CHILD_RUN startShell(const std::string& command, int input) {
    CHILD_RUN run;
    run.buffer.resize(1 << 16);
    int fds[2];
    // Close-on-exec, so that a candidate test started while the main
    // evaluation program runs does not hold the main program's pipe open.
    if (::pipe2(fds, O_CLOEXEC) != 0) return run;
    CHILD_START start = shellStart(command);
    start.input = input;
    start.output = fds[1];
    pid_t pid = -1;
    const int err = StartRegisteredChild(start, pid);
    ::close(fds[1]);
    if (err != 0) {
        ::close(fds[0]);
        if (err == ENOMEM) MemoryRanOut();
        return run;
    }
    run.pid = pid;
    run.output = ::fdopen(fds[0], "r");
    if (!run.output) {
        // The end of the run stops the registered child.
        if (errno == ENOMEM) MemoryRanOut();
        ::close(fds[0]);
        FinishShellCommand(run);
        return run;
    }
    std::setvbuf(run.output, run.buffer.data(), _IOFBF, run.buffer.size());
    return run;
}

}  // namespace

CHILD_RUN StartShellCommand(const std::string& command) { return startShell(command, -1); }

int StartRegisteredChild(const CHILD_START& start, pid_t& pid) {
    // A signal between the start and the registration would leave the
    // child running on its own.
    ENDING_SIGNALS_HELD held;
    CHILD_START masked = start;
    masked.mask = &held.before();
    const int err = StartChild(masked, pid);
    if (err == 0) RegisterChild(pid);
    return err;
}

bool StartShellChannel(const std::string& command, LINE_CHANNEL& channel) {
    bool pipesFailed = false;
    const int err = StartChannel(channel, shellStart(command), StartRegisteredChild, pipesFailed);
    if (err == ENOMEM && !pipesFailed) MemoryRanOut();
    return err == 0;
}

int FinishShellChannel(LINE_CHANNEL& channel) {
    // Unregistered before it is reaped, as FinishShellCommand does.
    return WaitForChannel(channel, UnregisterChild);
}

int FinishShellCommand(CHILD_RUN& run) {
    if (run.output) std::fclose(run.output);
    run.output = nullptr;
    // Until it is unregistered, an ending signal may still send the child's
    // group SIGTERM; WaitForChild unregisters it before its process id can
    // be given to another process.
    const int status = WaitForChild(run.pid, UnregisterChild);
    run.pid = -1;
    return status;
}

int StopShellCommand(CHILD_RUN& run) {
    // Still registered, so the group's id is still this run's.
    if (run.pid > 0) ::kill(-run.pid, SIGTERM);
    return FinishShellCommand(run);
}
