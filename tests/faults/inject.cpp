// A library preloaded into a program under test (LD_PRELOAD) that counts
// the program's failure points and makes one of them fail: the k-th memory
// request, the k-th write or the k-th opening of a file.
//
// Settings, read from the environment when the library loads:
//   VOK_FAULT_PROGRAM  the name of the program under test (the last part
//                      of its executable's path); any other process, the
//                      shell and clingo among them, is left alone
//   VOK_FAULT_KIND     alloc | write | open: the kind of point to fail
//   VOK_FAULT_AT       k: the point of that kind that fails (from 1); 0 or
//                      unset: nothing fails, the points are only counted
//   VOK_FAULT_PERSIST  1: every later point of the kind fails too
//   VOK_FAULT_ERRNO    ENOSPC | EIO | EACCES for a failed write or open
//                      (default ENOSPC for writes, EACCES for opens)
//   VOK_FAULT_REPORT   a file the library fills with one line
//                      "alloc A write W open O failed K fd F stdout S
//                      main MA MW MO"
//                      when the point fails and when the program ends:
//                      the points of each kind so far, the point that
//                      failed (0: none), the descriptor it wrote to or -1,
//                      the bytes handed to standard output before it, and
//                      the points of each kind before main began (what
//                      the C and C++ runtimes did, and the program's
//                      static objects)
//   VOK_FAULT_TRACE    1: the call stack of the failed point on standard
//                      error, to find where it is handled
//   VOK_FAULT_CREATED  a file to which the name of every file the program
//                      creates is appended, one a line
//
// In the program under test the library removes LD_PRELOAD and these
// settings from the environment, so that the programs it starts run
// without it. Points are counted from the process's first request of a
// kind that the library sees, before main as well: the library sets itself
// up at the first of its functions called, which may come before its own
// constructor (the C++ runtime and the program's static objects run theirs
// in an order of the loader's choosing).
//
// The points: malloc, calloc, realloc, aligned_alloc, posix_memalign,
// memalign, valloc (operator new and the C library's own requests go
// through them); write, writev, pwrite and the stdio writers (fwrite,
// fputs, fputc, putc, puts, and fflush and fclose where output waits in
// the stream); open, openat, creat, fopen,
// freopen and mkstemp and its kin. A failed stdio call sets the stream's
// error flag, as a failed write underneath it would.
//
// Under AddressSanitizer the program's own allocator comes first, so
// memory requests are neither counted nor failed there.
#include <dlfcn.h>
#include <errno.h>
#include <execinfo.h>
#include <fcntl.h>
#include <stdarg.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/types.h>
#include <sys/uio.h>
#include <unistd.h>

#include <initializer_list>

extern "C" {
void* __libc_malloc(size_t);
void* __libc_calloc(size_t, size_t);
void* __libc_realloc(void*, size_t);
void* __libc_memalign(size_t, size_t);
}

namespace {

enum KIND { ALLOC, WRITE, OPEN, KINDS };
const char* const KindNames[KINDS] = {"alloc", "write", "open"};

struct STATE {
    bool ready = false;   // set up (setUp ran)
    bool target = false;  // this process is the program under test
    bool trace = false;
    int depth = 0;  // inside the library's own work, which has no points
    int kind = -1;  // the kind that fails
    unsigned long long at = 0;
    bool persist = false;
    int error = 0;
    unsigned long long count[KINDS] = {};
    unsigned long long beforeMain[KINDS] = {};
    bool mainBegun = false;
    unsigned long long failed = 0;
    int failedFd = -1;
    unsigned long long stdoutBytes = 0;  // handed to standard output so far
    unsigned long long stdoutBefore = 0;
    int report = -1;
    int created = -1;
};

STATE S;

// The real functions, found once at set-up.
ssize_t (*realWrite)(int, const void*, size_t);
ssize_t (*realWritev)(int, const struct iovec*, int);
ssize_t (*realPwrite)(int, const void*, size_t, off_t);
size_t (*realFwrite)(const void*, size_t, size_t, FILE*);
int (*realFputs)(const char*, FILE*);
int (*realFputc)(int, FILE*);
int (*realPutc)(int, FILE*);
int (*realPuts)(const char*);
int (*realFflush)(FILE*);
int (*realFclose)(FILE*);
int (*realVfprintf)(FILE*, const char*, va_list);
int (*realOpen)(const char*, int, ...);
int (*realOpenat)(int, const char*, int, ...);
int (*realCreat)(const char*, mode_t);
FILE* (*realFopen)(const char*, const char*);
FILE* (*realFreopen)(const char*, const char*, FILE*);
int (*realMkostemps)(char*, int, int);

template <class F>
void find(F& f, const char* name) {
    f = reinterpret_cast<F>(dlsym(RTLD_NEXT, name));
}

int errnoNamed(const char* name, int otherwise) {
    if (!name) return otherwise;
    if (strcmp(name, "ENOSPC") == 0) return ENOSPC;
    if (strcmp(name, "EIO") == 0) return EIO;
    if (strcmp(name, "EACCES") == 0) return EACCES;
    return otherwise;
}

// Decimal digits of n at p; returns the end.
char* number(char* p, unsigned long long n) {
    char digits[24];
    int k = 0;
    do digits[k++] = static_cast<char>('0' + n % 10);
    while ((n /= 10) != 0);
    while (k) *p++ = digits[--k];
    return p;
}

char* text(char* p, const char* t) {
    while (*t) *p++ = *t++;
    return p;
}

// The report, rewritten whole at its start: it stays right however the
// program ends, _exit and signals included.
void writeReport() {
    if (S.report < 0) return;
    char line[320];
    char* p = line;
    for (int k = 0; k < KINDS; ++k) {
        p = text(p, KindNames[k]);
        *p++ = ' ';
        p = number(p, S.count[k]);
        *p++ = ' ';
    }
    p = text(p, "failed ");
    p = number(p, S.failed);
    p = text(p, " fd ");
    if (S.failedFd < 0) p = text(p, "-1");
    else p = number(p, static_cast<unsigned long long>(S.failedFd));
    p = text(p, " stdout ");
    p = number(p, S.stdoutBefore);
    p = text(p, " main");
    for (int k = 0; k < KINDS; ++k) {
        *p++ = ' ';
        p = number(p, S.mainBegun ? S.beforeMain[k] : S.count[k]);
    }
    *p++ = '\n';
    realPwrite(S.report, line, static_cast<size_t>(p - line), 0);
}

void setUp();

// Whether this point fails: counts it, and reports the first failure.
bool fails(KIND kind, int fd) {
    if (!S.ready) setUp();
    if (!S.target || S.depth) return false;
    const unsigned long long n = ++S.count[kind];
    bool fail = kind == S.kind && S.at && (n == S.at || (S.persist && n > S.at));
    if (fail && !S.failed) {
        S.failed = n;
        S.failedFd = fd;
        S.stdoutBefore = S.stdoutBytes;
    }
    // A failing run reports when its point is reached, whatever way the
    // program ends afterwards; a counting run when it ends.
    if (fail) writeReport();
    if (fail && S.trace) {
        ++S.depth;
        void* frames[64];
        backtrace_symbols_fd(frames, backtrace(frames, 64), 2);
        --S.depth;
    }
    return fail;
}

void noteCreated(const char* name) {
    if (S.created < 0 || !name || !S.target) return;
    char path[4096];
    size_t n = strlen(name);
    if (name[0] != '/') {
        if (!getcwd(path, sizeof path - n - 2)) return;
        size_t at = strlen(path);
        path[at++] = '/';
        memcpy(path + at, name, n);
        n += at;
    } else {
        if (n > sizeof path - 2) return;
        memcpy(path, name, n);
    }
    path[n++] = '\n';
    realWrite(S.created, path, n);
}

void noteStdout(int fd, long long bytes) {
    if (fd == 1 && bytes > 0) S.stdoutBytes += static_cast<unsigned long long>(bytes);
}

int streamFd(FILE* f) { return f ? fileno(f) : -1; }

// Whether the stream holds output not yet written: only then does flushing
// or closing it write anything.
bool pending(FILE* f) { return f && f->_IO_write_ptr > f->_IO_write_base; }

// A stdio call that failed leaves the stream's error flag set.
void streamFailed(FILE* f) {
    if (f) f->_flags |= _IO_ERR_SEEN;
    errno = S.error;
}

// Whether the program running is the one under test: the last part of the
// path of its executable.
bool isTarget(const char* program) {
    char exe[4096];
    ssize_t n = readlink("/proc/self/exe", exe, sizeof exe - 1);
    if (n <= 0) return false;
    exe[n] = '\0';
    const char* base = strrchr(exe, '/');
    base = base ? base + 1 : exe;
    return strcmp(base, program) == 0;
}

int openFile(const char* name, int flags) {
    if (!name || !*name) return -1;
    return realOpen(name, flags | O_CLOEXEC, 0644);
}

// Finds the real functions and reads the settings, once: at the first
// function of the library called, or at its constructor if none was called
// before. The environment must be there: a request the loader makes before
// it is set up is not counted.
__attribute__((constructor)) void setUp() {
    if (S.ready || S.depth) return;
    ++S.depth;  // dlsym may ask for memory
    find(realWrite, "write");
    find(realWritev, "writev");
    find(realPwrite, "pwrite");
    find(realFwrite, "fwrite");
    find(realFputs, "fputs");
    find(realFputc, "fputc");
    find(realPutc, "putc");
    find(realPuts, "puts");
    find(realFflush, "fflush");
    find(realFclose, "fclose");
    find(realVfprintf, "vfprintf");
    find(realOpen, "open");
    find(realOpenat, "openat");
    find(realCreat, "creat");
    find(realFopen, "fopen");
    find(realFreopen, "freopen");
    find(realMkostemps, "mkostemps");
    if (!environ) {
        --S.depth;
        return;
    }
    S.ready = true;

    const char* program = getenv("VOK_FAULT_PROGRAM");
    if (!program || !isTarget(program)) {
        --S.depth;
        return;
    }
    const char* kind = getenv("VOK_FAULT_KIND");
    for (int k = 0; kind && k < KINDS; ++k)
        if (strcmp(kind, KindNames[k]) == 0) S.kind = k;
    const char* at = getenv("VOK_FAULT_AT");
    S.at = at ? strtoull(at, nullptr, 10) : 0;
    const char* trace = getenv("VOK_FAULT_TRACE");
    S.trace = trace && strcmp(trace, "1") == 0;
    const char* persist = getenv("VOK_FAULT_PERSIST");
    S.persist = persist && strcmp(persist, "1") == 0;
    S.error = errnoNamed(getenv("VOK_FAULT_ERRNO"), S.kind == OPEN ? EACCES : ENOSPC);
    S.report = openFile(getenv("VOK_FAULT_REPORT"), O_WRONLY | O_CREAT | O_TRUNC);
    S.created = openFile(getenv("VOK_FAULT_CREATED"), O_WRONLY | O_CREAT | O_APPEND);
    S.target = true;
    writeReport();
    for (const char* name :
         {"LD_PRELOAD", "VOK_FAULT_PROGRAM", "VOK_FAULT_KIND", "VOK_FAULT_AT", "VOK_FAULT_PERSIST",
          "VOK_FAULT_ERRNO", "VOK_FAULT_REPORT", "VOK_FAULT_CREATED", "VOK_FAULT_TRACE"})
        unsetenv(name);
    --S.depth;
}

int (*realMain)(int, char**, char**);

int countedMain(int argc, char** argv, char** env) {
    for (int k = 0; k < KINDS; ++k) S.beforeMain[k] = S.count[k];
    S.mainBegun = true;
    return realMain(argc, argv, env);
}

__attribute__((destructor)) void report() {
    if (S.target) writeReport();
}

bool createsFile(const char* mode) { return mode && (mode[0] == 'w' || mode[0] == 'a'); }

}  // namespace

extern "C" {

// main starts through here, so that the points before it are known.
int __libc_start_main(int (*main)(int, char**, char**), int argc, char** argv, void (*init)(),
                      void (*fini)(), void (*rtldFini)(), void* stackEnd) {
    using START = int (*)(int (*)(int, char**, char**), int, char**, void (*)(), void (*)(),
                          void (*)(), void*);
    START start;
    find(start, "__libc_start_main");
    realMain = main;
    return start(countedMain, argc, argv, init, fini, rtldFini, stackEnd);
}

// ---- Memory.

void* malloc(size_t n) {
    if (fails(ALLOC, -1)) {
        errno = ENOMEM;
        return nullptr;
    }
    return __libc_malloc(n);
}

void* calloc(size_t n, size_t size) {
    if (fails(ALLOC, -1)) {
        errno = ENOMEM;
        return nullptr;
    }
    return __libc_calloc(n, size);
}

void* realloc(void* p, size_t n) {
    // realloc(p, 0) frees.
    if ((n || !p) && fails(ALLOC, -1)) {
        errno = ENOMEM;
        return nullptr;
    }
    return __libc_realloc(p, n);
}

void* memalign(size_t alignment, size_t n) {
    if (fails(ALLOC, -1)) {
        errno = ENOMEM;
        return nullptr;
    }
    return __libc_memalign(alignment, n);
}

void* aligned_alloc(size_t alignment, size_t n) { return memalign(alignment, n); }

void* valloc(size_t n) { return memalign(static_cast<size_t>(sysconf(_SC_PAGESIZE)), n); }

int posix_memalign(void** out, size_t alignment, size_t n) {
    if (alignment % sizeof(void*) != 0 || (alignment & (alignment - 1)) != 0) return EINVAL;
    if (fails(ALLOC, -1)) return ENOMEM;
    void* p = __libc_memalign(alignment, n);
    if (!p) return ENOMEM;
    *out = p;
    return 0;
}

// ---- Writes.

ssize_t write(int fd, const void* data, size_t n) {
    if (fails(WRITE, fd)) {
        errno = S.error;
        return -1;
    }
    ssize_t r = realWrite(fd, data, n);
    noteStdout(fd, r);
    return r;
}

ssize_t writev(int fd, const struct iovec* iov, int count) {
    if (fails(WRITE, fd)) {
        errno = S.error;
        return -1;
    }
    ssize_t r = realWritev(fd, iov, count);
    noteStdout(fd, r);
    return r;
}

ssize_t pwrite(int fd, const void* data, size_t n, off_t at) {
    if (fails(WRITE, fd)) {
        errno = S.error;
        return -1;
    }
    return realPwrite(fd, data, n, at);
}

size_t fwrite(const void* data, size_t size, size_t n, FILE* f) {
    if (fails(WRITE, streamFd(f))) {
        streamFailed(f);
        return 0;
    }
    size_t r = realFwrite(data, size, n, f);
    if (f == stdout) noteStdout(1, static_cast<long long>(r * size));
    return r;
}

int fputs(const char* s, FILE* f) {
    if (fails(WRITE, streamFd(f))) {
        streamFailed(f);
        return EOF;
    }
    int r = realFputs(s, f);
    if (f == stdout && r != EOF) noteStdout(1, static_cast<long long>(strlen(s)));
    return r;
}

int fputc(int c, FILE* f) {
    if (fails(WRITE, streamFd(f))) {
        streamFailed(f);
        return EOF;
    }
    int r = realFputc(c, f);
    if (f == stdout && r != EOF) noteStdout(1, 1);
    return r;
}

int putc(int c, FILE* f) {
    if (fails(WRITE, streamFd(f))) {
        streamFailed(f);
        return EOF;
    }
    int r = realPutc(c, f);
    if (f == stdout && r != EOF) noteStdout(1, 1);
    return r;
}

int puts(const char* s) {
    if (fails(WRITE, 1)) {
        streamFailed(stdout);
        return EOF;
    }
    int r = realPuts(s);
    if (r != EOF) noteStdout(1, static_cast<long long>(strlen(s) + 1));
    return r;
}

int fflush(FILE* f) {
    if (pending(f) && fails(WRITE, streamFd(f))) {
        streamFailed(f);
        return EOF;
    }
    return realFflush(f);
}

int fclose(FILE* f) {
    const bool fail = pending(f) && fails(WRITE, streamFd(f));
    int r;
    { r = realFclose(f); }
    if (fail) {
        errno = S.error;
        return EOF;
    }
    return r;
}

int vfprintf(FILE* f, const char* format, va_list args) {
    if (fails(WRITE, streamFd(f))) {
        streamFailed(f);
        return -1;
    }
    int r = realVfprintf(f, format, args);
    if (f == stdout) noteStdout(1, r);
    return r;
}

int fprintf(FILE* f, const char* format, ...) {
    va_list args;
    va_start(args, format);
    int r = vfprintf(f, format, args);
    va_end(args);
    return r;
}

int printf(const char* format, ...) {
    va_list args;
    va_start(args, format);
    int r = vfprintf(stdout, format, args);
    va_end(args);
    return r;
}

// ---- Opening files.

int open(const char* name, int flags, ...) {
    mode_t mode = 0;
    if (flags & (O_CREAT | O_TMPFILE)) {
        va_list args;
        va_start(args, flags);
        mode = static_cast<mode_t>(va_arg(args, int));
        va_end(args);
    }
    if (fails(OPEN, -1)) {
        errno = S.error;
        return -1;
    }
    int fd = realOpen(name, flags, mode);
    if (fd >= 0 && (flags & O_CREAT)) noteCreated(name);
    return fd;
}

int open64(const char* name, int flags, ...) {
    mode_t mode = 0;
    if (flags & (O_CREAT | O_TMPFILE)) {
        va_list args;
        va_start(args, flags);
        mode = static_cast<mode_t>(va_arg(args, int));
        va_end(args);
    }
    return open(name, flags, mode);
}

int __open_2(const char* name, int flags) { return open(name, flags); }
int __open64_2(const char* name, int flags) { return open(name, flags); }

int openat(int dir, const char* name, int flags, ...) {
    mode_t mode = 0;
    if (flags & (O_CREAT | O_TMPFILE)) {
        va_list args;
        va_start(args, flags);
        mode = static_cast<mode_t>(va_arg(args, int));
        va_end(args);
    }
    if (fails(OPEN, -1)) {
        errno = S.error;
        return -1;
    }
    int fd = realOpenat(dir, name, flags, mode);
    if (fd >= 0 && (flags & O_CREAT) && dir == AT_FDCWD) noteCreated(name);
    return fd;
}

int openat64(int dir, const char* name, int flags, ...) {
    mode_t mode = 0;
    if (flags & (O_CREAT | O_TMPFILE)) {
        va_list args;
        va_start(args, flags);
        mode = static_cast<mode_t>(va_arg(args, int));
        va_end(args);
    }
    return openat(dir, name, flags, mode);
}

int creat(const char* name, mode_t mode) {
    if (fails(OPEN, -1)) {
        errno = S.error;
        return -1;
    }
    int fd = realCreat(name, mode);
    if (fd >= 0) noteCreated(name);
    return fd;
}

int creat64(const char* name, mode_t mode) { return creat(name, mode); }

FILE* fopen(const char* name, const char* mode) {
    if (fails(OPEN, -1)) {
        errno = S.error;
        return nullptr;
    }
    FILE* f = realFopen(name, mode);
    if (f && createsFile(mode)) noteCreated(name);
    return f;
}

FILE* fopen64(const char* name, const char* mode) { return fopen(name, mode); }

FILE* freopen(const char* name, const char* mode, FILE* stream) {
    if (fails(OPEN, -1)) {
        errno = S.error;
        return nullptr;
    }
    FILE* f = realFreopen(name, mode, stream);
    if (f && name && createsFile(mode)) noteCreated(name);
    return f;
}

int mkostemps(char* pattern, int suffix, int flags) {
    if (fails(OPEN, -1)) {
        errno = S.error;
        return -1;
    }
    int fd = realMkostemps(pattern, suffix, flags);
    if (fd >= 0) noteCreated(pattern);
    return fd;
}

int mkstemps(char* pattern, int suffix) { return mkostemps(pattern, suffix, 0); }
int mkstemps64(char* pattern, int suffix) { return mkostemps(pattern, suffix, 0); }
int mkstemp(char* pattern) { return mkostemps(pattern, 0, 0); }
int mkstemp64(char* pattern) { return mkostemps(pattern, 0, 0); }
int mkostemp(char* pattern, int flags) { return mkostemps(pattern, 0, flags); }
int mkostemp64(char* pattern, int flags) { return mkostemps(pattern, 0, flags); }
int mkostemps64(char* pattern, int suffix, int flags) { return mkostemps(pattern, suffix, flags); }

}  // extern "C"
