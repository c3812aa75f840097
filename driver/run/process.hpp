// The evaluation program as a child process whose standard output is read
// through a pipe, as popen does it, but in a process group of its own whose
// id is known, so that every end of the run, a signal included, can stop
// it with everything it started.
#pragma once

#include <sys/types.h>

#include <cstdio>
#include <string>
#include <vector>

struct CHILD_RUN {
    std::FILE* output = nullptr;  // its standard output; null when it could not be started
    pid_t pid = -1;               // the shell's, and its process group's
    // The buffer of output: ours, as the C library would otherwise allocate
    // it on the side and, for want of memory, quietly read byte by byte.
    std::vector<char> buffer;
};

// Starts "/bin/sh -c command" with the standard input and error of this
// process.
CHILD_RUN StartShellCommand(const std::string& command);

// The same with a pipe to its standard input too, whose write end goes to
// input (-1 when the command could not be started).
CHILD_RUN StartShellDialog(const std::string& command, int& input);

// Closes the pipe and waits for the command to end; its wait status, or -1.
int FinishShellCommand(CHILD_RUN& run);

// Stops the command and everything it started (SIGTERM to its process
// group), closes the pipe and waits for it; its wait status, or -1.
int StopShellCommand(CHILD_RUN& run);
