/* Preloaded into Wine processes by tests (LD_PRELOAD, Linux, i386 and
 * x86_64): a folder that holds a file named "tw-disk-full" is on a disk that
 * is nearly full. The marker holds the bytes still free (a decimal number;
 * empty means none). Writes to the folder's other files take from them, as
 * the processes under the shim make them: a write larger than what is left
 * writes what fits, the next fails with ENOSPC, as Linux does on a full disk.
 * Writing a number into the marker frees room again. Renames, truncation and
 * deletion are not writes and work as always. */
#define _GNU_SOURCE
#include <dlfcn.h>
#include <errno.h>
#include <fcntl.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/types.h>
#include <sys/uio.h>
#include <unistd.h>

static const char kMarker[] = "tw-disk-full";

static ssize_t (*real_write)(int, const void*, size_t);
static ssize_t (*real_pwrite)(int, const void*, size_t, off_t);
static ssize_t (*real_pwrite64)(int, const void*, size_t, off64_t);
static ssize_t (*real_writev)(int, const struct iovec*, int);

static void bind(void) {
    if (real_write) return;
    real_pwrite = (ssize_t(*)(int, const void*, size_t, off_t))dlsym(RTLD_NEXT, "pwrite");
    real_pwrite64 = (ssize_t(*)(int, const void*, size_t, off64_t))dlsym(RTLD_NEXT, "pwrite64");
    real_writev = (ssize_t(*)(int, const struct iovec*, int))dlsym(RTLD_NEXT, "writev");
    real_write = (ssize_t(*)(int, const void*, size_t))dlsym(RTLD_NEXT, "write");
}

/* The marker of the folder of the file open as `fd`, when there is one (and
 * `fd` is not the marker itself); empty otherwise. */
static int marker_of(int fd, char* marker, size_t size) {
    char link[64], path[4096];
    snprintf(link, sizeof link, "/proc/self/fd/%d", fd);
    ssize_t n = readlink(link, path, sizeof path - 1);
    if (n <= 0) return 0;
    path[n] = 0;
    char* slash = strrchr(path, '/');
    if (!slash || strcmp(slash + 1, kMarker) == 0) return 0;
    *slash = 0;
    if (snprintf(marker, size, "%s/%s", path, kMarker) >= (int)size) return 0;
    return access(marker, F_OK) == 0;
}

static long read_room(const char* marker) {
    char text[32] = {0};
    int fd = open(marker, O_RDONLY);
    if (fd < 0) return 0;
    ssize_t n = read(fd, text, sizeof text - 1);
    close(fd);
    return n > 0 ? strtol(text, NULL, 10) : 0;
}

static void write_room(const char* marker, long room) {
    char text[32];
    int length = snprintf(text, sizeof text, "%ld", room);
    int fd = open(marker, O_WRONLY | O_TRUNC);
    if (fd < 0) return;
    real_write(fd, text, (size_t)length);
    close(fd);
}

/* How many of `count` bytes a write to `fd` may write: all of them outside a
 * marked folder, what is left inside one (-1 with ENOSPC when nothing is). */
static ssize_t allowed(int fd, size_t count, char* marker, size_t size) {
    bind();
    if (count == 0 || !marker_of(fd, marker, size)) return (ssize_t)count;
    long room = read_room(marker);
    if (room <= 0) {
        errno = ENOSPC;
        return -1;
    }
    return (size_t)room < count ? (ssize_t)room : (ssize_t)count;
}

static ssize_t used(const char* marker, ssize_t written) {
    if (written > 0 && marker[0]) write_room(marker, read_room(marker) - written);
    return written;
}

ssize_t write(int fd, const void* buffer, size_t count) {
    char marker[4200] = {0};
    ssize_t n = allowed(fd, count, marker, sizeof marker);
    return n < 0 ? -1 : used(marker, real_write(fd, buffer, (size_t)n));
}

ssize_t pwrite(int fd, const void* buffer, size_t count, off_t offset) {
    char marker[4200] = {0};
    ssize_t n = allowed(fd, count, marker, sizeof marker);
    return n < 0 ? -1 : used(marker, real_pwrite(fd, buffer, (size_t)n, offset));
}

ssize_t pwrite64(int fd, const void* buffer, size_t count, off64_t offset) {
    char marker[4200] = {0};
    ssize_t n = allowed(fd, count, marker, sizeof marker);
    return n < 0 ? -1 : used(marker, real_pwrite64(fd, buffer, (size_t)n, offset));
}

ssize_t writev(int fd, const struct iovec* parts, int count) {
    size_t total = 0;
    for (int i = 0; i < count; ++i) total += parts[i].iov_len;
    char marker[4200] = {0};
    ssize_t n = allowed(fd, total, marker, sizeof marker);
    if (n < 0) return -1;
    if ((size_t)n == total) return used(marker, real_writev(fd, parts, count));
    /* Only part fits: the first parts, cut where the room ends. */
    ssize_t done = 0;
    for (int i = 0; i < count && done < n; ++i) {
        size_t take = parts[i].iov_len < (size_t)(n - done) ? parts[i].iov_len : (size_t)(n - done);
        ssize_t w = real_write(fd, parts[i].iov_base, take);
        if (w < 0) return done ? used(marker, done) : -1;
        done += w;
        if ((size_t)w < take) break;
    }
    return used(marker, done);
}
