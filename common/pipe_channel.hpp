// Reading and writing descriptors with the interruptions by signals taken
// care of (a handler that returns makes a blocking call fail with EINTR,
// which is no failure of the call), reading text a line at a time, and a
// child process spoken to over two pipes a line at a time: vok's session
// with its evaluation program, and an evaluation program's with clingo.
#pragma once

#include <poll.h>
#include <sys/types.h>

#include <cstddef>
#include <string>
#include <string_view>

#include "common/child.hpp"

// Writes text whole to fd. False when a write failed (errno tells why) or
// wrote nothing. Safe in a signal handler: it allocates nothing and
// changes no signal mask.
bool WriteAll(int fd, std::string_view text);

// One write(2) or read(2), repeated while a signal interrupts it; its
// result (-1 and errno on failure, EAGAIN included).
ssize_t WriteSome(int fd, std::string_view text);
ssize_t ReadSome(int fd, char* buffer, std::size_t size);

// poll(2), repeated while a signal interrupts it.
int PollRetrying(pollfd* fds, nfds_t count, int timeout);

// Text read from a descriptor a line at a time (or a count of bytes). A
// failed read counts as the end of the input.
struct LINE_READER {
    int fd = -1;
    // Whether text after the last line end counts as a line at the end of
    // the input: yes for input a person may type; no where a line cut short
    // means that its writer was cut off.
    bool unendedLastLine = true;
    bool ended = false;
    std::string buffer;  // read, not yet taken from taken on
    std::size_t taken = 0;
};

// The next line without its line end; false at the end of the input.
bool ReadLine(LINE_READER& reader, std::string& line);

// The next n bytes; false when the input ends before them.
bool ReadBytes(LINE_READER& reader, std::size_t n, std::string& bytes);

// A child process whose standard input and output are pipes of ours.
struct LINE_CHANNEL {
    pid_t pid = -1;
    int in = -1;         // the child's standard input
    LINE_READER output;  // its standard output
};

// How a child is started: StartChild, or a caller's own that also notes
// the child where the handlers of its ending signals find it.
using CHILD_STARTER = int (*)(const CHILD_START&, pid_t&);

// Starts the child as start says, its standard input and output on two new
// pipes (close-on-exec, so that no other child holds them open). 0, or an
// errno value, with pipesFailed set when it is that of making the pipes;
// on failure no descriptor is left open.
int StartChannel(LINE_CHANNEL& channel, CHILD_START start, CHILD_STARTER starter,
                 bool& pipesFailed);

// Writes text whole to the child; false when it no longer reads (errno
// tells why). A child that went away is a failed write, not SIGPIPE.
bool WriteToChannel(LINE_CHANNEL& channel, std::string_view text);

// The next line the child wrote, without its line end; false at the end of
// its output.
bool ReadChannelLine(LINE_CHANNEL& channel, std::string& line);

// Closes the pipe to the child, which sees the end of its input.
void CloseChannelInput(LINE_CHANNEL& channel);

// Closes both pipes and waits for the child (WaitForChild, beforeReap as
// there); its wait status, or -1 when there is no child to wait for.
int WaitForChannel(LINE_CHANNEL& channel, void (*beforeReap)(pid_t) = nullptr);
