// The evaluation program of a session: a child process that reads steps on
// its standard input and answers on its standard output, started through
// the shell in a process group of its own (as process.hpp starts a run's),
// so that every end of vok stops it with everything it started.
#pragma once

#include <string>
#include <string_view>

#include "driver/run/process.hpp"

struct SESSION_CHILD {
    CHILD_RUN run;   // its process group and standard output
    int input = -1;  // its standard input
};

// Starts "/bin/sh -c command"; run.pid is -1 when it could not be started.
SESSION_CHILD StartSessionChild(const std::string& command);

// Writes text whole; false when the child no longer reads (a broken pipe is
// no signal here).
bool WriteToChild(SESSION_CHILD& child, std::string_view text);

// The next line the child wrote, without its line end; a line end inside a
// quoted string belongs to the line. False at the end of its output.
bool ReadChildLine(SESSION_CHILD& child, std::string& line);

// Closes its standard input, reads what it still writes, and waits for it;
// its exit code, or 128 + the signal that ended it.
int FinishSessionChild(SESSION_CHILD& child);
