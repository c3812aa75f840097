#include "process.hpp"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>

#include "base/exits.hpp"

extern char** environ;

namespace {

// The command's group is never the terminal's foreground group, so a
// command that writes to the terminal (with "stty tostop") or reads from it
// would be stopped, and the run would hang. It starts with these signals
// ignored instead: its writes go through and its reads fail.
struct TERMINAL_STOPS_IGNORED {
    struct sigaction oldOut {};
    struct sigaction oldIn {};
    TERMINAL_STOPS_IGNORED() {
        struct sigaction ignore {};
        ignore.sa_handler = SIG_IGN;
        sigemptyset(&ignore.sa_mask);
        ::sigaction(SIGTTOU, &ignore, &oldOut);
        ::sigaction(SIGTTIN, &ignore, &oldIn);
    }
    ~TERMINAL_STOPS_IGNORED() {
        ::sigaction(SIGTTOU, &oldOut, nullptr);
        ::sigaction(SIGTTIN, &oldIn, nullptr);
    }
};

pid_t spawnShell(const std::string& command, posix_spawn_file_actions_t& actions,
                 posix_spawnattr_t& attributes, int& err) {
    std::string shell = "sh", option = "-c", text = command;
    char* argv[] = {shell.data(), option.data(), text.data(), nullptr};
    pid_t pid = -1;
    TERMINAL_STOPS_IGNORED ignored;
    err = ::posix_spawn(&pid, "/bin/sh", &actions, &attributes, argv, environ);
    return pid;
}

}  // namespace

CHILD_RUN StartShellCommand(const std::string& command) {
    CHILD_RUN run;
    int fds[2];
    // Close-on-exec, so that a candidate test started while the main
    // evaluation program runs does not hold the main program's pipe open.
    if (::pipe2(fds, O_CLOEXEC) != 0) return run;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, fds[1], STDOUT_FILENO);
    // A process group of its own: the shell need not run the command in
    // its own place, and the command may start processes of its own (the
    // solver); stopping the group reaches them all.
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    posix_spawnattr_setpgroup(&attributes, 0);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETPGROUP);
    int err = 0;
    pid_t pid = spawnShell(command, actions, attributes, err);
    posix_spawn_file_actions_destroy(&actions);
    posix_spawnattr_destroy(&attributes);
    ::close(fds[1]);
    if (err != 0) {
        ::close(fds[0]);
        return run;
    }
    RegisterChild(pid);
    run.pid = pid;
    run.output = ::fdopen(fds[0], "r");
    if (!run.output) {
        ::close(fds[0]);
        FinishShellCommand(run);
    }
    return run;
}

int FinishShellCommand(CHILD_RUN& run) {
    if (run.output) std::fclose(run.output);
    run.output = nullptr;
    // The child is waited for without being reaped first: until it is
    // unregistered, an ending signal may still send it SIGTERM, and its
    // process id must not have been given to another process by then.
    siginfo_t info;
    while (::waitid(P_PID, static_cast<id_t>(run.pid), &info, WEXITED | WNOWAIT) < 0 &&
           errno == EINTR) {
    }
    UnregisterChild(run.pid);
    int status = 0;
    pid_t reaped;
    while ((reaped = ::waitpid(run.pid, &status, 0)) < 0 && errno == EINTR) {
    }
    run.pid = -1;
    return reaped < 0 ? -1 : status;
}
