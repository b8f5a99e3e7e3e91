/* Preloaded into Wine processes by tests (LD_PRELOAD, Linux, i386 and
 * x86_64): a folder that holds a file named "tw-slow-lookup" answers every
 * lookup of itself or of a name in it only after 30 s, and then not at all
 * (ENOENT), as a disconnected network drive does on Windows once the
 * network's time-out has passed. The marker file itself answers at once. */
#define _GNU_SOURCE
#include <dlfcn.h>
#include <errno.h>
#include <fcntl.h>
#include <stdarg.h>
#include <stdio.h>
#include <string.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <time.h>
#include <unistd.h>

static const char kMarker[] = "tw-slow-lookup";

static int holds_marker(const char* folder, size_t length) {
    char marker[4096];
    if (snprintf(marker, sizeof marker, "%.*s/%s", (int)length, folder, kMarker) >= (int)sizeof marker) return 0;
    return syscall(SYS_faccessat, AT_FDCWD, marker, F_OK, 0) == 0;
}

/* Waits out the time-out when `path` is the marked folder or a name in it. */
static int slow(const char* path) {
    if (!path || !*path) return 0;
    size_t length = strlen(path);
    while (length > 1 && path[length - 1] == '/') --length;
    const char* slash = memrchr(path, '/', length);
    if (slash && strcmp(slash + 1, kMarker) == 0) return 0;
    if (!holds_marker(path, length) && !(slash && holds_marker(path, (size_t)(slash - path)))) return 0;
    struct timespec wait = {30, 0};
    while (nanosleep(&wait, &wait) != 0 && errno == EINTR) {
    }
    errno = ENOENT;
    return 1;
}

/* open(at)'s mode comes only with O_CREAT or O_TMPFILE. */
#define MODE(flags)                                    \
    mode_t mode = 0;                                   \
    if ((flags) & (O_CREAT | O_TMPFILE)) {             \
        va_list list;                                  \
        va_start(list, flags);                         \
        mode = va_arg(list, mode_t);                   \
        va_end(list);                                  \
    }
/* `name` taking `params`: slow for `path`, else the real one given `args`. */
#define WRAP(name, params, prelude, path, args)                        \
    int name params {                                                  \
        prelude static __typeof__(&name) real;                         \
        if (!real) real = (__typeof__(&name))dlsym(RTLD_NEXT, #name);  \
        return slow(path) ? -1 : real args;                            \
    }
WRAP(stat, (const char* p, struct stat* b), , p, (p, b))
WRAP(lstat, (const char* p, struct stat* b), , p, (p, b))
WRAP(stat64, (const char* p, struct stat64* b), , p, (p, b))
WRAP(lstat64, (const char* p, struct stat64* b), , p, (p, b))
WRAP(fstatat, (int d, const char* p, struct stat* b, int f), , p, (d, p, b, f))
WRAP(fstatat64, (int d, const char* p, struct stat64* b, int f), , p, (d, p, b, f))
WRAP(open, (const char* p, int f, ...), MODE(f), p, (p, f, mode))
WRAP(open64, (const char* p, int f, ...), MODE(f), p, (p, f, mode))
WRAP(openat, (int d, const char* p, int f, ...), MODE(f), p, (d, p, f, mode))
WRAP(openat64, (int d, const char* p, int f, ...), MODE(f), p, (d, p, f, mode))
