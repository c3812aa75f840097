#include "common/child.hpp"

#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>

#include <cerrno>

extern char** environ;

namespace {

// The terminal's stop signals ignored while a child starts in a group of
// its own, which inherits that; this process gets its own actions back.
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

// The attributes the start asks for; 0 or an errno value.
int setAttributes(posix_spawnattr_t& attributes, const CHILD_START& start) {
    short flags = 0;
    int err = 0;
    if (start.ownGroup) {
        err = posix_spawnattr_setpgroup(&attributes, 0);
        flags |= POSIX_SPAWN_SETPGROUP;
    }
    if (start.defaultSignals && !err) {
        sigset_t defaults, empty;
        sigemptyset(&defaults);
        sigaddset(&defaults, SIGPIPE);
        sigemptyset(&empty);
        err = posix_spawnattr_setsigdefault(&attributes, &defaults);
        if (!err) err = posix_spawnattr_setsigmask(&attributes, &empty);
        flags |= POSIX_SPAWN_SETSIGDEF | POSIX_SPAWN_SETSIGMASK;
    } else if (start.mask && !err) {
        err = posix_spawnattr_setsigmask(&attributes, start.mask);
        flags |= POSIX_SPAWN_SETSIGMASK;
    }
    if (flags && !err) err = posix_spawnattr_setflags(&attributes, flags);
    return err;
}

// The descriptors the start asks for as the child's standard input,
// output, error and descriptor 3; 0 or an errno value (ENOMEM: the C library could not note them).
int setDescriptors(posix_spawn_file_actions_t& actions, const CHILD_START& start) {
    int err = 0;
    if (start.input >= 0) err = posix_spawn_file_actions_adddup2(&actions, start.input, 0);
    if (start.output >= 0 && !err)
        err = posix_spawn_file_actions_adddup2(&actions, start.output, 1);
    if (start.error >= 0 && !err) err = posix_spawn_file_actions_adddup2(&actions, start.error, 2);
    if (start.fourth >= 0 && !err)
        err = posix_spawn_file_actions_adddup2(&actions, start.fourth, 3);
    return err;
}

int spawn(const CHILD_START& start, const posix_spawn_file_actions_t& actions,
          const posix_spawnattr_t& attributes, pid_t& pid) {
    // posix_spawn takes the arguments as char* for historic reasons only:
    // it changes none of them.
    std::vector<char*> argv;
    for (const std::string& a : start.argv) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    if (start.searchPath)
        return ::posix_spawnp(&pid, start.program.c_str(), &actions, &attributes, argv.data(),
                              environ);
    return ::posix_spawn(&pid, start.program.c_str(), &actions, &attributes, argv.data(), environ);
}

}  // namespace

int StartChild(const CHILD_START& start, pid_t& pid) {
    // A child started without the descriptors or attributes asked for would
    // write where no one reads, so each step's failure is the start's.
    posix_spawn_file_actions_t actions;
    int err = posix_spawn_file_actions_init(&actions);
    if (err) return err;
    posix_spawnattr_t attributes;
    err = posix_spawnattr_init(&attributes);
    if (err) {
        posix_spawn_file_actions_destroy(&actions);
        return err;
    }
    err = setDescriptors(actions, start);
    if (!err) err = setAttributes(attributes, start);
    if (!err && start.ownGroup) {
        TERMINAL_STOPS_IGNORED ignored;
        err = spawn(start, actions, attributes, pid);
    } else if (!err) {
        err = spawn(start, actions, attributes, pid);
    }
    posix_spawn_file_actions_destroy(&actions);
    posix_spawnattr_destroy(&attributes);
    return err;
}

int WaitForChild(pid_t pid, void (*beforeReap)(pid_t)) {
    // Waited for without being reaped first, so that beforeReap runs while
    // the process id is still the child's.
    siginfo_t info;
    while (::waitid(P_PID, static_cast<id_t>(pid), &info, WEXITED | WNOWAIT) < 0 &&
           errno == EINTR) {
    }
    if (beforeReap) beforeReap(pid);
    int status = 0;
    return WaitPidRetrying(pid, &status, 0) < 0 ? -1 : status;
}

pid_t WaitPidRetrying(pid_t pid, int* status, int options) {
    pid_t reaped;
    while ((reaped = ::waitpid(pid, status, options)) < 0 && errno == EINTR) {
    }
    return reaped;
}
