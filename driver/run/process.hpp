// The evaluation program as a child process whose standard output is read
// through a pipe, as popen does it, but in a process group of its own whose
// id is known, so that every end of the run, a signal included, can stop
// it with everything it started.
#pragma once

#include <sys/types.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "common/pipe_channel.hpp"

struct CHILD_RUN {
    std::FILE* output = nullptr;  // its standard output; null when it could not be started
    pid_t pid = -1;               // the shell's, and its process group's
    // The buffer of output: ours, as the C library would otherwise allocate
    // it on the side and, for want of memory, quietly read byte by byte.
    std::vector<char> buffer;
};

// The buffer that getline grows while a child's output is read, given back
// however the reading ends (a failure may unwind past it).
struct LINE_BUFFER {
    char* text = nullptr;
    std::size_t capacity = 0;

    LINE_BUFFER() = default;
    LINE_BUFFER(const LINE_BUFFER&) = delete;
    LINE_BUFFER& operator=(const LINE_BUFFER&) = delete;
    ~LINE_BUFFER() { std::free(text); }

    // The length of the next line read from in, line end included; 0 or
    // less at the end of the output or on a failure (errno tells).
    ssize_t next(std::FILE* in) { return ::getline(&text, &capacity, in); }
};

// Starts "/bin/sh -c command" with the standard input and error of this
// process.
CHILD_RUN StartShellCommand(const std::string& command);

// Starts a child as start says (StartChild), registered as a running child
// (base/exits.hpp) with no ending signal let through in between; 0 or an
// errno value.
int StartRegisteredChild(const CHILD_START& start, pid_t& pid);

// Starts "/bin/sh -c command" as StartShellCommand does, spoken to over
// two pipes a line at a time; false when it could not be started.
bool StartShellChannel(const std::string& command, LINE_CHANNEL& channel);

// Closes the pipes and waits for the command to end; its wait status, or -1.
int FinishShellChannel(LINE_CHANNEL& channel);

// Closes the pipe and waits for the command to end; its wait status, or -1.
int FinishShellCommand(CHILD_RUN& run);

// Stops the command and everything it started (SIGTERM to its process
// group), closes the pipe and waits for it; its wait status, or -1.
int StopShellCommand(CHILD_RUN& run);
