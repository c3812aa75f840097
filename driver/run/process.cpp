#include "process.hpp"

#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "base/exits.hpp"
#include "common/child.hpp"
#include "common/chunks.hpp"

namespace {

// A process group of its own: the program may start processes of its own
// (the solver); stopping the group reaches them all.
CHILD_START programStart(const std::vector<std::string>& argv) {
    CHILD_START start;
    start.program = argv.at(0);
    start.argv = argv;
    start.searchPath = true;
    start.ownGroup = true;
    return start;
}

bool isExecutableFile(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode) &&
           ::access(path.c_str(), X_OK) == 0;
}

// Starts the child as execvp would: a file that the system does not run
// itself (a script without "#!") is run by /bin/sh as a script, its path
// an argument, never shell text; 0 or an errno value.
int startLikeExecvp(const CHILD_START& start, pid_t& pid) {
    const int err = StartRegisteredChild(start, pid);
    if (err != ENOEXEC) return err;
    std::string path = start.program;
    if (path.find('/') == std::string::npos) {
        path = FindInPath(path, ExecutableSearchPath());
    }
    CHILD_START script = start;
    script.program = "/bin/sh";
    script.searchPath = false;
    script.argv.at(0) = path;
    script.argv.insert(script.argv.begin(), "sh");
    return StartRegisteredChild(script, pid);
}

}  // namespace

std::vector<std::string> SplitOptions(std::string_view text) {
    std::vector<std::string> words;
    std::size_t i = 0;
    while (true) {
        i = text.find_first_not_of(" \t", i);
        if (i == std::string_view::npos) return words;
        const std::size_t end = text.find_first_of(" \t", i);
        words.emplace_back(text.substr(i, end == std::string_view::npos ? end : end - i));
        if (end == std::string_view::npos) return words;
        i = end;
    }
}

std::string ExecutableSearchPath() {
    const char* path = std::getenv("PATH");
    return path ? path : "/bin:/usr/bin";
}

std::string FindInPath(const std::string& name, std::string_view path) {
    std::size_t begin = 0;
    while (begin <= path.size()) {
        std::size_t end = path.find(':', begin);
        if (end == std::string_view::npos) end = path.size();
        const std::string_view dir = path.substr(begin, end - begin);
        const std::string candidate = dir.empty() ? name : std::string(dir) + "/" + name;
        if (isExecutableFile(candidate)) return candidate;
        begin = end + 1;
    }
    return "";
}

std::string FindDefaultProgram(const std::string& name, const std::string& self,
                               std::string_view path) {
    const std::size_t slash = self.rfind('/');
    if (slash != std::string::npos) {
        std::string beside = self.substr(0, slash + 1) + name;
        if (isExecutableFile(beside)) return beside;
    }
    return FindInPath(name, path);
}

CHILD_RUN StartProgram(const std::vector<std::string>& argv) {
    CHILD_RUN run;
    run.buffer.resize(1 << 16);
    int fds[2];
    // Close-on-exec, so that a candidate test started while the main
    // evaluation program runs does not hold the main program's pipe open.
    if (::pipe2(fds, O_CLOEXEC) != 0) return run;
    CHILD_START start = programStart(argv);
    start.output = fds[1];
    pid_t pid = -1;
    // The C library reports a failed exec (a missing or not executable
    // program) here, as the start's failure, not as a status of the child.
    const int err = startLikeExecvp(start, pid);
    ::close(fds[1]);
    if (err != 0) {
        ::close(fds[0]);
        if (err == ENOMEM) MemoryRanOut();
        return run;
    }
    run.pid = pid;
    run.output = ::fdopen(fds[0], "r");
    if (!run.output) {
        // The end of the run stops the registered child.
        if (errno == ENOMEM) MemoryRanOut();
        ::close(fds[0]);
        FinishProgram(run);
        return run;
    }
    std::setvbuf(run.output, run.buffer.data(), _IOFBF, run.buffer.size());
    return run;
}

int StartRegisteredChild(const CHILD_START& start, pid_t& pid) {
    // A signal between the start and the registration would leave the
    // child running on its own.
    ENDING_SIGNALS_HELD held;
    CHILD_START masked = start;
    masked.mask = &held.before();
    const int err = StartChild(masked, pid);
    if (err == 0) RegisterChild(pid);
    return err;
}

bool StartProgramChannel(const std::vector<std::string>& argv, LINE_CHANNEL& channel) {
    bool pipesFailed = false;
    const int err = StartChannel(channel, programStart(argv), startLikeExecvp, pipesFailed);
    if (err == ENOMEM && !pipesFailed) MemoryRanOut();
    return err == 0;
}

int FinishProgramChannel(LINE_CHANNEL& channel) {
    // Unregistered before it is reaped, as FinishProgram does.
    return WaitForChannel(channel, UnregisterChild);
}

int FinishProgram(CHILD_RUN& run) {
    if (run.output) std::fclose(run.output);
    run.output = nullptr;
    // Until it is unregistered, an ending signal may still send the child's
    // group SIGTERM; WaitForChild unregisters it before its process id can
    // be given to another process.
    const int status = WaitForChild(run.pid, UnregisterChild);
    run.pid = -1;
    return status;
}

int StopProgram(CHILD_RUN& run) {
    // Still registered, so the group's id is still this run's.
    if (run.pid > 0) ::kill(-run.pid, SIGTERM);
    return FinishProgram(run);
}
