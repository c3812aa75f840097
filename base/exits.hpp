// How a run ends. Failures are not exceptions: the function that meets a
// fatal condition prints its message and ends the process through one of
// these, which also remove the temporary program files the run created.
#pragma once

#include <signal.h>
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
// Memory set aside now is given back first, for the end of the run to use.
void EndRunWhenMemoryRunsOut();

// finish runs when the run ends through SafeExit, AbortRun or
// InternalError, before standard output is checked and closed: a writer
// whose output must be complete on every end (a document that needs its
// closing lines) registers here.
void AtOutputEnd(void (*finish)());

// finish runs when an ending signal (below) ends the run, after the
// children are stopped and the files removed: it must be safe in a signal
// handler. At most four are kept.
void AtSignalEnd(void (*finish)());

// The ending signals wait while it lives, for a writer whose output must
// not be cut in the middle (AtSignalEnd finishes it).
struct ENDING_SIGNALS_HELD {
    ENDING_SIGNALS_HELD();
    ~ENDING_SIGNALS_HELD();
    ENDING_SIGNALS_HELD(const ENDING_SIGNALS_HELD&) = delete;
    ENDING_SIGNALS_HELD& operator=(const ENDING_SIGNALS_HELD&) = delete;

    // The signals blocked before, for a child started meanwhile.
    const sigset_t& before() const { return old_; }

private:
    sigset_t old_;
};

// The -wait pause alone, for stops that end otherwise.
void WaitForReturn();

// Temporary files that every end of the run (also one by SIGHUP, SIGINT,
// SIGTERM or SIGPIPE) removes, unless the run
// removed them itself before (UnregisterTemporaryFile). The program writer
// asks IsTemporaryFile to reopen them without following links.
// ReserveTemporaryFile makes room for one more before the file is created,
// so that registering it, with its name already made, needs no memory: a
// file is never created that the end of the run would not know of.
void ReserveTemporaryFile();
void RegisterTemporaryFile(std::string name);
void UnregisterTemporaryFile(const std::string& name);
bool IsTemporaryFile(const std::string& name);
void RemoveTemporaryFiles();

// Process groups of evaluation programs that every end of the run (the
// signals above included) stops with SIGTERM while they still run, before
// the files are removed; the run ends once no process of the group is left
// (after two seconds the group is killed). A child is started and
// registered while the ending signals are held, so that none ends the run
// in between.
void RegisterChild(pid_t pid);
void UnregisterChild(pid_t pid);

// Removes a file without involving a shell; a missing file is no error.
void RemoveFile(const std::string& name);
