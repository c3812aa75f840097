// How a run ends. A function that meets a condition that ends the run
// prints its message there, at the moment it always stood among the
// output, and throws END_OF_RUN or INTERNAL_ERROR. RunToEnd, around the
// whole run in main, is the one place that catches them and ends the
// process: it stops the evaluation programs, removes the temporary files,
// lets the writers finish (AtOutputEnd), pauses for -wait where that
// applies, and exits with the status. Only the ending signals (below) and a
// memory request that cannot be met (EndRunWhenMemoryRunsOut) end the
// process elsewhere.
//
// The records derive from no standard exception, so that no handler meant
// for a library's failure catches the end of the run on its way.
#pragma once

#include <signal.h>
#include <sys/types.h>

#include <new>
#include <stdexcept>
#include <string>
#include <utility>

struct END_OF_RUN {
    // AFTER_PAUSE: with -wait, an empty line on standard output and one
    // line read from standard input first; AT_ONCE: no pause.
    enum PAUSE { AFTER_PAUSE, AT_ONCE };

    explicit END_OF_RUN(int status, PAUSE pause = AFTER_PAUSE, std::string lastWords = {})
        : status(status), pause(pause), lastWords(std::move(lastWords)) {}

    int status;
    PAUSE pause;
    // A line for standard error, written (with its line end) when the run
    // ends, before anything else; nothing when empty.
    std::string lastWords;
};

// A condition that only a fault of vok can bring about: the run ends with
// "An internal error occurred (message)." and a line asking to contact the
// maintainer on standard error, and status 99, without the pause.
struct INTERNAL_ERROR {
    std::string message;
};

// The ends of the run that RunToEnd makes; they never return. wait: -wait
// was given, and the end pauses until Return is pressed where it may.
[[noreturn]] void EndRun(const END_OF_RUN& end, bool wait);
[[noreturn]] void EndRunWithInternalError(const std::string& message);

// Runs run() (which returns the status of a normal end, after the pause)
// and ends the process however it ends; wait is read at the end (run()
// sets it once it knows the options). std::bad_alloc (a request thrown
// without the new handler, such as an array too long) and std::length_error
// (a table or a name beyond its limit) end it as memory running out does.
template <class RUN>
[[noreturn]] void RunToEnd(RUN&& run, const bool& wait = false) {
    int status;
    try {
        status = run();
    } catch (const END_OF_RUN& stop) {
        EndRun(stop, wait);
    } catch (const INTERNAL_ERROR& error) {
        EndRunWithInternalError(error.message);
    } catch (const std::bad_alloc&) {
        EndRunWithInternalError("out of memory");
    } catch (const std::length_error&) {
        EndRunWithInternalError("out of memory");
    }
    EndRun(END_OF_RUN(status), wait);
}

// From now on a memory request that cannot be met ends the run at once as
// the internal error "out of memory" (see exits.cpp for why it is not
// thrown); memory set aside now is given back first, for the end of the
// run to use.
void EndRunWhenMemoryRunsOut();

// finish runs when the run ends through RunToEnd, before standard output
// is checked and closed: a writer whose output must be complete on every
// end (a document that needs its closing lines) registers here.
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
