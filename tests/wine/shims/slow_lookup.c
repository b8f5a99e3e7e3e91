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

#define REAL(name)                      \
    static __typeof__(&name) real_##name; \
    if (!real_##name) real_##name = (__typeof__(&name))dlsym(RTLD_NEXT, #name)

#define WRAP_STAT(name, buf_t)                                   \
    int name(const char* path, buf_t* buf) {                     \
        REAL(name);                                              \
        return slow(path) ? -1 : real_##name(path, buf);         \
    }
WRAP_STAT(stat, struct stat)
WRAP_STAT(lstat, struct stat)
WRAP_STAT(stat64, struct stat64)
WRAP_STAT(lstat64, struct stat64)

#define WRAP_STATAT(name, buf_t)                                         \
    int name(int dir, const char* path, buf_t* buf, int flags) {         \
        REAL(name);                                                      \
        return slow(path) ? -1 : real_##name(dir, path, buf, flags);     \
    }
WRAP_STATAT(fstatat, struct stat)
WRAP_STATAT(fstatat64, struct stat64)

#define WRAP_OPEN(name)                                          \
    int name(const char* path, int flags, ...) {                 \
        REAL(name);                                              \
        mode_t mode = 0;                                         \
        if (flags & (O_CREAT | O_TMPFILE)) {                     \
            va_list args;                                        \
            va_start(args, flags);                               \
            mode = va_arg(args, mode_t);                         \
            va_end(args);                                        \
        }                                                        \
        return slow(path) ? -1 : real_##name(path, flags, mode); \
    }
WRAP_OPEN(open)
WRAP_OPEN(open64)

#define WRAP_OPENAT(name)                                             \
    int name(int dir, const char* path, int flags, ...) {             \
        REAL(name);                                                   \
        mode_t mode = 0;                                              \
        if (flags & (O_CREAT | O_TMPFILE)) {                          \
            va_list args;                                             \
            va_start(args, flags);                                    \
            mode = va_arg(args, mode_t);                              \
            va_end(args);                                             \
        }                                                             \
        return slow(path) ? -1 : real_##name(dir, path, flags, mode); \
    }
WRAP_OPENAT(openat)
WRAP_OPENAT(openat64)
