#include "exits.hpp"

#include <signal.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <vector>

#include "options.hpp"

namespace {
// Few files at a time: the main program and at most one candidate test.
std::vector<std::string>& temporaryFiles() {
    static std::vector<std::string> files;
    return files;
}

// The signals that end a run from outside (a closed terminal, Ctrl-C, kill).
constexpr int EndingSignals[] = {SIGHUP, SIGINT, SIGTERM};

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

// Removes the files (unlink is safe in a handler), then lets the signal end
// the process as it would have without the handler.
void removeFilesAndDie(int sig) {
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

void RemoveFile(const std::string& name) { ::unlink(name.c_str()); }

void RemoveTemporaryFiles() {
    SignalsHeld held;
    for (const std::string& f : temporaryFiles()) RemoveFile(f);
    temporaryFiles().clear();
}

void WaitForReturn() {
    if (!OptionWait) return;
    std::cout << std::endl;
    char line[1024];
    if (!std::fgets(line, sizeof line, stdin)) line[0] = '\0';
}

void SafeExit(int status) {
    std::cout.flush();
    RemoveTemporaryFiles();
    WaitForReturn();
    std::exit(status);
}

void AbortRun(int status) {
    std::cout.flush();
    RemoveTemporaryFiles();
    std::exit(status);
}

void InternalError(const std::string& message) {
    std::cout.flush();
    std::cerr << std::endl
              << "An internal error occurred (" << message << ")." << std::endl
              << "Please contact <maintainers@vok.invalid>!" << std::endl;
    RemoveTemporaryFiles();
    std::exit(99);
}
