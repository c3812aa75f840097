// The evaluation program as a child process whose standard output is read
// through a pipe, as popen does it, but started directly (no shell between:
// its path and options are data, never shell text) and in a process group
// of its own whose id is known, so that every end of the run, a signal
// included, can stop it with everything it started.
#pragma once

#include <sys/types.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "common/pipe_channel.hpp"

struct CHILD_RUN {
    std::FILE* output = nullptr;  // its standard output; null when it could not be started
    pid_t pid = -1;               // the program's, and its process group's
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

// The words of an options text (-o=): split at blanks (spaces and tabs),
// without quoting or expansion of any kind; a text of blanks gives none.
std::vector<std::string> SplitOptions(std::string_view text);

// The directories execvp searches: those of PATH, or without it
// /bin:/usr/bin, as the C library's default.
std::string ExecutableSearchPath();

// The first executable regular file called name in the directories of
// path, a PATH value (an empty entry is the working directory); "" when
// there is none.
std::string FindInPath(const std::string& name, std::string_view path);

// The evaluation program vok runs when -p= names none: name in the folder
// of vok's own executable (self, as /proc/self/exe names it), else in the
// directories of path; "" when neither has it.
std::string FindDefaultProgram(const std::string& name, const std::string& self,
                               std::string_view path);

// Starts argv[0] with the arguments argv[1...] as execvp does (a name
// without "/" is looked up in PATH, one with "/" is a path; a script
// without "#!" is run by /bin/sh, its path an argument), with the
// standard input and error of this process, in a process group of its own.
// output is null when it could not be started (missing, not executable).
CHILD_RUN StartProgram(const std::vector<std::string>& argv);

// Starts a child as start says (StartChild), registered as a running child
// (base/exits.hpp) with no ending signal let through in between; 0 or an
// errno value.
int StartRegisteredChild(const CHILD_START& start, pid_t& pid);

// Starts argv as StartProgram does, spoken to over two pipes a line at a
// time; false when it could not be started.
bool StartProgramChannel(const std::vector<std::string>& argv, LINE_CHANNEL& channel);

// Closes the pipes and waits for the program to end; its wait status, or -1.
int FinishProgramChannel(LINE_CHANNEL& channel);

// Closes the pipe and waits for the program to end; its wait status, or -1.
int FinishProgram(CHILD_RUN& run);

// Stops the program and everything it started (SIGTERM to its process
// group), closes the pipe and waits for it; its wait status, or -1.
int StopProgram(CHILD_RUN& run);
