// Starting a program as a child process and waiting for it, for vok (which
// runs its evaluation program, in a process group of its own) and for the
// evaluation programs (which run clingo).
#pragma once

#include <signal.h>
#include <sys/types.h>

#include <string>
#include <vector>

struct CHILD_START {
    std::string program;  // a path, or with searchPath a name without "/" looked up in PATH
    std::vector<std::string> argv;  // its arguments, its own name first
    bool searchPath = false;
    int input = -1;   // a descriptor to be its standard input; -1: ours
    int output = -1;  // a descriptor to be its standard output; -1: ours
    int error = -1;   // a descriptor to be its standard error; -1: ours
    int fourth = -1;  // a descriptor to be its descriptor 3 (for a file it reads as
                      // /dev/fd/3); -1: none
    // A process group of its own, so that stopping the group reaches every
    // process the child starts. The group is never the terminal's
    // foreground group, so the child starts with the terminal's stop
    // signals ignored: its writes go through and its reads fail, where
    // they would stop it and hang the run.
    bool ownGroup = false;
    // SIGPIPE at its default action and no signal blocked, whatever this
    // process set for itself.
    bool defaultSignals = false;
    // Otherwise the signals blocked in the child, when given: a caller that
    // holds signals while it starts a child (so that no handler runs before
    // the child is known) passes the mask it had before.
    const sigset_t* mask = nullptr;
};

// Starts the child; 0 and its process id, or an errno value.
int StartChild(const CHILD_START& start, pid_t& pid);

// Waits for the child to end and returns its wait status, or -1 when it
// cannot be waited for. beforeReap, when given, runs once the child has
// ended but before it is reaped: until then its process id cannot have
// been given to another process, so a signal handler may still send it a
// signal safely, and beforeReap tells it to stop doing so.
int WaitForChild(pid_t pid, void (*beforeReap)(pid_t) = nullptr);

// waitpid(2), repeated while a signal interrupts it; safe in a signal
// handler.
pid_t WaitPidRetrying(pid_t pid, int* status, int options);
