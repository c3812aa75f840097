// Drives a session the way a program on the other end of vok --session
// would, and times each step:
//
//   vok-session-driver OUTFILE BLOCKS COMMAND [ARGS...]
//
// starts COMMAND with pipes on its standard input and output, waits for
// the closing line of its first step (the files), then writes the lines of
// BLOCKS one at a time (each a block) and waits for each one's closing line
// (a line that opens with "% "), reading and dropping everything else it
// prints. OUTFILE receives one line per step, "STEP SECONDS CPU RSS" (CPU:
// the user and system seconds the command's live process tree spent in the
// step, read from /proc; a process that ended within the step is not
// counted; RSS: the resident KiB of that tree at the step's end), then the
// line
// "total SECONDS KIB STATUS CPU" (wall seconds of the whole session, the
// peak resident set of its largest process in KiB, its exit status and the
// CPU seconds of the process tree).
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <dirent.h>

#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

using CLOCK = std::chrono::steady_clock;

double since(CLOCK::time_point start) {
    return std::chrono::duration<double>(CLOCK::now() - start).count();
}

// Where reading the command's output stands: the column in the current
// line and whether that line opens with "% " (a closing line).
struct SCAN {
    std::size_t column = 0;
    bool percent = false, closing = false;
};

// Reads the command's output up to the end of the next closing line; false
// when the output ended first. Lines are skipped from line end to line end.
bool awaitClosing(int fd, SCAN& scan, std::vector<char>& chunk, std::size_t& have,
                  std::size_t& at) {
    for (;;) {
        while (at < have) {
            if (scan.column < 2) {
                const char c = chunk[at];
                if (scan.column == 0) scan.percent = c == '%';
                else scan.closing = scan.percent && c == ' ';
                ++scan.column;
                if (c != '\n') {
                    ++at;
                    continue;
                }
            }
            const void* end = std::memchr(chunk.data() + at, '\n', have - at);
            if (!end) {
                at = have;
                break;
            }
            at = static_cast<std::size_t>(static_cast<const char*>(end) - chunk.data()) + 1;
            const bool closing = scan.closing;
            scan = SCAN();
            if (closing) return true;
        }
        const ssize_t r = ::read(fd, chunk.data(), chunk.size());
        if (r < 0) continue;
        if (r == 0) return false;
        have = static_cast<std::size_t>(r);
        at = 0;
    }
}

struct USAGE {
    double cpu = 0;  // user and system seconds
    long rss = 0;    // resident KiB
};

// What root and its live descendants use, from /proc/PID/stat (nothing
// where /proc cannot be read).
USAGE treeUsage(pid_t root) {
    struct PROC {
        pid_t pid, parent;
        USAGE usage;
    };
    std::vector<PROC> all;
    DIR* dir = ::opendir("/proc");
    if (!dir) return {};
    const long pageKiB = ::sysconf(_SC_PAGESIZE) / 1024;
    const double tick = static_cast<double>(::sysconf(_SC_CLK_TCK));
    while (const dirent* e = ::readdir(dir)) {
        if (e->d_name[0] < '0' || e->d_name[0] > '9') continue;
        char path[320], text[1024];
        std::snprintf(path, sizeof path, "/proc/%s/stat", e->d_name);
        std::FILE* f = std::fopen(path, "r");
        if (!f) continue;
        const std::size_t n = std::fread(text, 1, sizeof text - 1, f);
        std::fclose(f);
        text[n] = 0;
        // The command's name may hold spaces; the fields go on after its ')'.
        const char* after = std::strrchr(text, ')');
        if (!after) continue;
        int parent = 0;
        unsigned long user = 0, system = 0;
        long pages = 0;
        if (std::sscanf(
                after + 2,
                "%*c %d %*d %*d %*d %*d %*u %*u %*u %*u %*u %lu %lu %*d %*d %*d %*d %*d %*d "
                "%*u %*u %ld",
                &parent, &user, &system, &pages) != 4)
            continue;
        all.push_back({std::atoi(e->d_name),
                       parent,
                       {static_cast<double>(user + system) / tick, pages * pageKiB}});
    }
    ::closedir(dir);
    std::vector<pid_t> tree{root};
    USAGE sum;
    for (std::size_t i = 0; i < tree.size(); ++i)
        for (const PROC& p : all) {
            if (p.pid == tree[i]) {
                sum.cpu += p.usage.cpu;
                sum.rss += p.usage.rss;
            }
            if (p.parent == tree[i]) tree.push_back(p.pid);
        }
    return sum;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 4) {
        std::fprintf(stderr, "usage: %s OUTFILE BLOCKS COMMAND [ARGS...]\n", argv[0]);
        return 2;
    }
    std::FILE* blocks = std::fopen(argv[2], "r");
    if (!blocks) {
        std::perror(argv[2]);
        return 2;
    }
    std::signal(SIGPIPE, SIG_IGN);
    int in[2], out[2];
    if (::pipe(in) != 0 || ::pipe(out) != 0) return 2;
    if (const char* size = std::getenv("DRIVER_PIPE"))
        ::fcntl(out[0], F_SETPIPE_SZ, std::atoi(size));
    const auto start = CLOCK::now();
    const pid_t pid = ::fork();
    if (pid < 0) return 2;
    if (pid == 0) {
        ::dup2(in[0], 0);
        ::dup2(out[1], 1);
        ::close(in[0]);
        ::close(in[1]);
        ::close(out[0]);
        ::close(out[1]);
        ::execvp(argv[3], argv + 3);
        std::perror(argv[3]);
        ::_exit(127);
    }
    ::close(in[0]);
    ::close(out[1]);
    std::vector<double> steps, cpus;
    std::vector<long> residents;
    double cpuBefore = 0;
    auto stepCpu = [&] {
        const USAGE now = treeUsage(pid);
        cpus.push_back(now.cpu - cpuBefore);
        residents.push_back(now.rss);
        cpuBefore = now.cpu;
    };
    SCAN scan;
    std::vector<char> chunk(1 << 20);
    std::size_t have = 0, at = 0;
    bool alive = awaitClosing(out[0], scan, chunk, have, at);
    steps.push_back(since(start));
    stepCpu();
    char* line = nullptr;
    std::size_t capacity = 0;
    ssize_t length;
    while (alive && (length = ::getline(&line, &capacity, blocks)) > 0) {
        const auto step = CLOCK::now();
        if (::write(in[1], line, static_cast<std::size_t>(length)) != length) break;
        alive = awaitClosing(out[0], scan, chunk, have, at);
        if (!alive) break;
        steps.push_back(since(step));
        stepCpu();
    }
    std::free(line);
    std::fclose(blocks);
    ::close(in[1]);
    while (::read(out[0], chunk.data(), chunk.size()) > 0) {
    }
    int status = 0;
    struct rusage usage {};
    while (::wait4(pid, &status, 0, &usage) < 0) {
    }
    const double total = since(start);
    std::FILE* report = std::fopen(argv[1], "w");
    if (!report) {
        std::perror(argv[1]);
        return 2;
    }
    for (std::size_t i = 0; i < steps.size(); ++i)
        std::fprintf(report, "%zu %.4f %.3f %ld\n", i, steps[i], cpus[i], residents[i]);
    const double cpu = static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
                       static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
    const int code = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    std::fprintf(report, "total %.3f %ld %d %.3f\n", total, usage.ru_maxrss, code, cpu);
    std::fclose(report);
    return code;
}
