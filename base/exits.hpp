// How a run ends. Failures are not exceptions: the function that meets a
// fatal condition prints its message and ends the process through one of
// these, which also remove the temporary program files the run created.
#pragma once

#include <sys/types.h>

#include <string>

// With -wait: an empty line on standard output and one line read from
// standard input; then exit with status.
[[noreturn]] void SafeExit(int status);

// Ends at once with status, without the -wait pause.
[[noreturn]] void AbortRun(int status);

// Prints "An internal error occurred (message)." and a line asking to
// contact the maintainer; exits 99 without waiting.
[[noreturn]] void InternalError(const std::string& message);

// From now on a memory request that cannot be met ends the run through
// InternalError ("out of memory"), so that the temporary files go too.
void EndRunWhenMemoryRunsOut();

// finish runs when the run ends through SafeExit, AbortRun or
// InternalError, before standard output is checked and closed: a writer
// whose output must be complete on every end (a document that needs its
// closing lines) registers here.
void AtOutputEnd(void (*finish)());

// The -wait pause alone, for stops that end otherwise.
void WaitForReturn();

// Temporary files that every end of the run (also one by SIGHUP, SIGINT,
// SIGTERM or SIGPIPE) removes, unless the run
// removed them itself before (UnregisterTemporaryFile). The program writer
// asks IsTemporaryFile to reopen them without following links.
void RegisterTemporaryFile(const std::string& name);
void UnregisterTemporaryFile(const std::string& name);
bool IsTemporaryFile(const std::string& name);
void RemoveTemporaryFiles();

// Process groups of evaluation programs that every end of the run (the
// signals above included) stops with SIGTERM while they still run, before
// the files are removed.
void RegisterChild(pid_t pid);
void UnregisterChild(pid_t pid);

// Removes a file without involving a shell; a missing file is no error.
void RemoveFile(const std::string& name);
