// Runs a command and reports its wall time and peak resident memory, so
// that the benchmark needs no particular time(1):
//
//   vok-measure OUTFILE COMMAND [ARGS...]
//
// writes "SECONDS KIB STATUS CPU" to OUTFILE (wall seconds, the child's
// peak resident set in KiB, its exit status or 128+signal, and its user and
// system CPU seconds) and exits with the command's status. The command's own output is left as it
// is.
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: %s OUTFILE COMMAND [ARGS...]\n", argv[0]);
        return 2;
    }
    auto start = std::chrono::steady_clock::now();
    pid_t pid = fork();
    if (pid < 0) {
        std::perror("fork");
        return 2;
    }
    if (pid == 0) {
        execvp(argv[2], argv + 2);
        std::perror(argv[2]);
        _exit(127);
    }
    int status = 0;
    struct rusage usage {};
    while (wait4(pid, &status, 0, &usage) < 0) {
    }
    double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    int code = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    std::FILE* out = std::fopen(argv[1], "w");
    if (!out) {
        std::perror(argv[1]);
        return 2;
    }
    // ru_maxrss is in KiB on Linux.
    double cpu = static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
                 static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
    std::fprintf(out, "%.3f %ld %d %.3f\n", seconds, usage.ru_maxrss, code, cpu);
    std::fclose(out);
    return code;
}
