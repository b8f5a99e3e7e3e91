/* Preloaded into Wine processes by tests (LD_PRELOAD, Linux, i386 and
 * x86_64): a folder that holds a file named "tw-not-ready" answers every
 * file-system query (statfs and kin) with EIO, which Wine reports as a drive
 * that is not ready (error 21). Deleting the file "inserts the medium". */
#define _GNU_SOURCE
#include <dlfcn.h>
#include <errno.h>
#include <stdio.h>
#include <string.h>
#include <sys/statfs.h>
#include <sys/statvfs.h>
#include <unistd.h>

static int marked(const char* path) {
    char marker[4096];
    if (!path || snprintf(marker, sizeof marker, "%s/tw-not-ready", path) >= (int)sizeof marker) return 0;
    return access(marker, F_OK) == 0;
}

static int marked_fd(int fd) {
    char link[64], path[4096];
    snprintf(link, sizeof link, "/proc/self/fd/%d", fd);
    ssize_t n = readlink(link, path, sizeof path - 1);
    if (n <= 0) return 0;
    path[n] = 0;
    return marked(path);
}

#define WRAP(name, arg_t, buf_t, check)                            \
    int name(arg_t a, buf_t* b) {                                  \
        static int (*real)(arg_t, buf_t*);                         \
        if (check(a)) {                                            \
            errno = EIO;                                           \
            return -1;                                             \
        }                                                          \
        if (!real) real = (int (*)(arg_t, buf_t*))dlsym(RTLD_NEXT, #name); \
        return real(a, b);                                         \
    }

WRAP(statfs, const char*, struct statfs, marked)
WRAP(statfs64, const char*, struct statfs64, marked)
WRAP(statvfs, const char*, struct statvfs, marked)
WRAP(statvfs64, const char*, struct statvfs64, marked)
WRAP(fstatfs, int, struct statfs, marked_fd)
WRAP(fstatfs64, int, struct statfs64, marked_fd)
WRAP(fstatvfs, int, struct statvfs, marked_fd)
WRAP(fstatvfs64, int, struct statvfs64, marked_fd)
