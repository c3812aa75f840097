#include "exits.hpp"

#include <signal.h>
#include <sys/mman.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <new>
#include <vector>

#include "common/never_destroyed.hpp"

namespace {
// The registries exist before main, so that no end of the run meets one
// being made (the end for want of memory included), and are never
// destroyed, since a signal may come while the process exits, after the
// destructors ran.

// Few files at a time: the main program and at most one candidate test.
NEVER_DESTROYED<std::vector<std::string>> TemporaryFiles;
std::vector<std::string>& temporaryFiles() { return TemporaryFiles.get(); }

// Process groups of the evaluation programs running at the moment: the main
// one and at most one candidate test. A table of fixed size, so that
// registering a child needs no memory.
constexpr std::size_t MaxChildren = 8;
pid_t RunningChildren[MaxChildren];
std::size_t ChildCount = 0;

// What ends a run by a signal besides: a fixed list, safe to walk in a
// handler.
void (*signalEnds[4])() = {};

// The signals that end a run from outside (a closed terminal, Ctrl-C, kill,
// a reader of the output that went away).
constexpr int EndingSignals[] = {SIGHUP, SIGINT, SIGTERM, SIGPIPE};

// Sleeps for about ms milliseconds (safe in a signal handler).
void pause(long ms) {
    timespec t{0, ms * 1000000};
    ::nanosleep(&t, nullptr);
}

// Asks the process group to end and waits until none of its processes is
// left, so that nothing the run started outlives it. Its processes are
// reaped here (the leader is our child, and so is every process of the
// group whose parent ended before it, see RegisterChild), or by their own
// parents. A group that is still there after two seconds is killed. Safe
// in a signal handler.
void endGroup(pid_t group) {
    ::kill(-group, SIGTERM);
    for (int round = 1; round <= 300; ++round) {
        for (pid_t r; (r = ::waitpid(-group, nullptr, WNOHANG)) > 0 || (r < 0 && errno == EINTR);) {
        }
        if (::kill(-group, 0) != 0 && errno == ESRCH) return;
        if (round == 200) ::kill(-group, SIGKILL);
        pause(round < 20 ? 1 : 10);
    }
}

// Their output is no longer read when the run ends, and they would read
// files that are about to go.
void stopChildren() {
    for (std::size_t c = 0; c < ChildCount; ++c) endGroup(RunningChildren[c]);
}

// Stops the evaluation programs and removes the files (kill, waitpid and
// unlink are safe in a handler), lets the writers finish what they must,
// then lets the signal end the process as it would have without the
// handler.
void removeFilesAndDie(int sig) {
    stopChildren();
    for (const std::string& f : temporaryFiles()) ::unlink(f.c_str());
    for (void (*finish)() : signalEnds)
        if (finish) finish();
    ::signal(sig, SIG_DFL);
    ::raise(sig);
}

// Signals that were ignored when the run began (nohup) stay ignored.
void removeFilesOnSignals() {
    static bool installed = false;
    if (installed) return;
    installed = true;
    for (int sig : EndingSignals)
        if (::signal(sig, removeFilesAndDie) == SIG_IGN) ::signal(sig, SIG_IGN);
}
}  // namespace

ENDING_SIGNALS_HELD::ENDING_SIGNALS_HELD() {
    sigset_t set;
    sigemptyset(&set);
    for (int sig : EndingSignals) sigaddset(&set, sig);
    sigprocmask(SIG_BLOCK, &set, &old_);
}

ENDING_SIGNALS_HELD::~ENDING_SIGNALS_HELD() { sigprocmask(SIG_SETMASK, &old_, nullptr); }

void ReserveTemporaryFile() {
    auto& files = temporaryFiles();
    files.reserve(files.size() + 1);
}

void RegisterTemporaryFile(std::string name) {
    // The ending signals wait while the list changes, so that the handler
    // never walks a list in the middle of a change.
    ENDING_SIGNALS_HELD held;
    removeFilesOnSignals();
    temporaryFiles().push_back(std::move(name));
}

void UnregisterTemporaryFile(const std::string& name) {
    ENDING_SIGNALS_HELD held;
    auto& files = temporaryFiles();
    files.erase(std::remove(files.begin(), files.end(), name), files.end());
}

bool IsTemporaryFile(const std::string& name) {
    const auto& files = temporaryFiles();
    return std::find(files.begin(), files.end(), name) != files.end();
}

void RegisterChild(pid_t pid) {
    ENDING_SIGNALS_HELD held;
    removeFilesOnSignals();
    // A process of the child's group whose parent ends (the shell before
    // the program it started) becomes ours rather than the system's, so
    // that the end of the run can reap it and know that it is gone.
    static const bool reaper = ::prctl(PR_SET_CHILD_SUBREAPER, 1) == 0;
    (void)reaper;
    if (ChildCount == MaxChildren) throw INTERNAL_ERROR{"too many evaluation programs at once"};
    RunningChildren[ChildCount++] = pid;
}

void UnregisterChild(pid_t pid) {
    ENDING_SIGNALS_HELD held;
    std::size_t kept = 0;
    for (std::size_t c = 0; c < ChildCount; ++c)
        if (RunningChildren[c] != pid) RunningChildren[kept++] = RunningChildren[c];
    ChildCount = kept;
}

void RemoveFile(const std::string& name) { ::unlink(name.c_str()); }

void RemoveTemporaryFiles() {
    ENDING_SIGNALS_HELD held;
    for (const std::string& f : temporaryFiles()) RemoveFile(f);
    temporaryFiles().clear();
}

void AtSignalEnd(void (*finish)()) {
    ENDING_SIGNALS_HELD held;
    // The handler runs it from now on, not only once a file or a child is
    // registered: a document begun before either must be closed too.
    removeFilesOnSignals();
    for (auto& slot : signalEnds) {
        if (!slot) {
            slot = finish;
            return;
        }
    }
}

namespace {
// Output that could not be written must not end as a success: standard
// output is flushed and closed, and a failure of either is one line on
// standard error and status 1, unless the status already tells of a
// failure. (The reason is not shown: the stream forgets it once a write
// failed.)
NEVER_DESTROYED<std::vector<void (*)()>> OutputEnds;
std::vector<void (*)()>& outputEnds() { return OutputEnds.get(); }

int checkedOutput(int status) {
    for (void (*finish)() : outputEnds()) finish();
    std::cout.flush();
    bool failed = !std::cout || std::fflush(stdout) != 0 || std::ferror(stdout);
    // EBADF: standard output was closed from the start, and nothing was
    // written to it.
    if (!failed && ::close(STDOUT_FILENO) != 0 && errno != EBADF && errno != EINTR) failed = true;
    if (!failed) return status;
    std::cerr << "Could not write to standard output." << std::endl;
    return status == 0 ? 1 : status;
}

void stopRunningChildren() {
    ENDING_SIGNALS_HELD held;
    stopChildren();
    ChildCount = 0;
}

// Address space given back to the system when a memory request cannot be
// met, so that the end of the run has some to use under a limit (ulimit
// -v). Mapped directly: it is no request of the allocator's, and unmapping
// it surely returns it.
void* Reserve = MAP_FAILED;
constexpr std::size_t ReserveSize = std::size_t(512) << 10;
}  // namespace

void AtOutputEnd(void (*finish)()) { outputEnds().push_back(finish); }

namespace {
void waitForReturn(bool wait, END_OF_RUN::PAUSE pause) {
    if (!wait || pause != END_OF_RUN::AFTER_PAUSE) return;
    std::cout << std::endl;
    char line[1024];
    if (!std::fgets(line, sizeof line, stdin)) line[0] = '\0';
}

// A memory request that cannot be met ends the run here, at once, rather
// than as a std::bad_alloc on its way to RunToEnd: the standard streams
// catch what is thrown inside them and only set their state, and rule
// texts are formatted in string streams, so an exception from there would
// be lost and a program written cut short. The memory set aside is given
// back first, for the end of the run to use.
void memoryRanOut() {
    if (Reserve != MAP_FAILED) ::munmap(Reserve, ReserveSize);
    Reserve = MAP_FAILED;
    // The message fits a short string, so reporting it needs no memory.
    EndRunWithInternalError("out of memory");
}
}  // namespace

void EndRun(const END_OF_RUN& end, bool wait) {
    if (!end.lastWords.empty()) std::cerr << end.lastWords << std::endl;
    std::cout.flush();
    stopRunningChildren();
    RemoveTemporaryFiles();
    waitForReturn(wait, end.pause);
    std::exit(checkedOutput(end.status));
}

void EndRunWhenMemoryRunsOut() {
    Reserve =
        ::mmap(nullptr, ReserveSize, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    std::set_new_handler(memoryRanOut);
}

void EndRunWithInternalError(const std::string& message) {
    // The end of the run needs no memory, but should a request of a writer
    // that finishes its output still fail, the run ends here instead of
    // beginning its end again.
    static bool reported = false;
    if (reported) {
        stopRunningChildren();
        RemoveTemporaryFiles();
        std::_Exit(99);
    }
    reported = true;
    std::cout.flush();
    std::cerr << std::endl
              << "An internal error occurred (" << message << ")." << std::endl
              << "Please contact <maintainers@vok.invalid>!" << std::endl;
    stopRunningChildren();
    RemoveTemporaryFiles();
    std::exit(checkedOutput(99));
}
