#include "exits.hpp"

#include <signal.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <new>
#include <vector>

#include "options.hpp"

namespace {
// Few files at a time: the main program and at most one candidate test.
std::vector<std::string>& temporaryFiles() {
    static std::vector<std::string> files;
    return files;
}

// Process groups of the evaluation programs running at the moment: the main
// one and at most one candidate test.
std::vector<pid_t>& runningChildren() {
    static std::vector<pid_t> children;
    return children;
}

// The signals that end a run from outside (a closed terminal, Ctrl-C, kill,
// a reader of the output that went away).
constexpr int EndingSignals[] = {SIGHUP, SIGINT, SIGTERM, SIGPIPE};

// The ending signals wait while the list of files changes, so that the
// handler never walks a list in the middle of a change.
class SignalsHeld {
public:
    SignalsHeld() {
        sigset_t set;
        sigemptyset(&set);
        for (int sig : EndingSignals) sigaddset(&set, sig);
        sigprocmask(SIG_BLOCK, &set, &old_);
    }
    ~SignalsHeld() { sigprocmask(SIG_SETMASK, &old_, nullptr); }

private:
    sigset_t old_;
};

// Their output is no longer read when the run ends, and they would read
// files that are about to go.
void stopChildren() {
    for (pid_t group : runningChildren()) ::kill(-group, SIGTERM);
}

// Stops the evaluation programs and removes the files (kill and unlink are
// safe in a handler), then lets the signal end the process as it would have
// without the handler.
void removeFilesAndDie(int sig) {
    stopChildren();
    for (const std::string& f : temporaryFiles()) ::unlink(f.c_str());
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

void RegisterTemporaryFile(const std::string& name) {
    SignalsHeld held;
    removeFilesOnSignals();
    temporaryFiles().push_back(name);
}

void UnregisterTemporaryFile(const std::string& name) {
    SignalsHeld held;
    auto& files = temporaryFiles();
    files.erase(std::remove(files.begin(), files.end(), name), files.end());
}

bool IsTemporaryFile(const std::string& name) {
    const auto& files = temporaryFiles();
    return std::find(files.begin(), files.end(), name) != files.end();
}

void RegisterChild(pid_t pid) {
    SignalsHeld held;
    removeFilesOnSignals();
    runningChildren().push_back(pid);
}

void UnregisterChild(pid_t pid) {
    SignalsHeld held;
    auto& children = runningChildren();
    children.erase(std::remove(children.begin(), children.end(), pid), children.end());
}

void RemoveFile(const std::string& name) { ::unlink(name.c_str()); }

void RemoveTemporaryFiles() {
    SignalsHeld held;
    for (const std::string& f : temporaryFiles()) RemoveFile(f);
    temporaryFiles().clear();
}

namespace {
// Output that could not be written must not end as a success: standard
// output is flushed and closed, and a failure of either is one line on
// standard error and status 1, unless the status already tells of a
// failure. (The reason is not shown: the stream forgets it once a write
// failed.)
std::vector<void (*)()>& outputEnds() {
    static std::vector<void (*)()> ends;
    return ends;
}

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
    SignalsHeld held;
    stopChildren();
    runningChildren().clear();
}
}  // namespace

void AtOutputEnd(void (*finish)()) { outputEnds().push_back(finish); }

void WaitForReturn() {
    if (!OptionWait) return;
    std::cout << std::endl;
    char line[1024];
    if (!std::fgets(line, sizeof line, stdin)) line[0] = '\0';
}

void SafeExit(int status) {
    std::cout.flush();
    stopRunningChildren();
    RemoveTemporaryFiles();
    WaitForReturn();
    std::exit(checkedOutput(status));
}

void AbortRun(int status) {
    std::cout.flush();
    stopRunningChildren();
    RemoveTemporaryFiles();
    std::exit(checkedOutput(status));
}

void EndRunWhenMemoryRunsOut() {
    // The message fits a short string, so reporting it needs no memory.
    std::set_new_handler([] { InternalError("out of memory"); });
}

void InternalError(const std::string& message) {
    std::cout.flush();
    std::cerr << std::endl
              << "An internal error occurred (" << message << ")." << std::endl
              << "Please contact <maintainers@vok.invalid>!" << std::endl;
    stopRunningChildren();
    RemoveTemporaryFiles();
    std::exit(checkedOutput(99));
}
