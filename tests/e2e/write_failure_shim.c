// Preloaded into the probe (LD_PRELOAD) to make one folder behave as if it were on a read-only or
// a full file system, which the tests cannot arrange for real: they run as root, whom neither
// permission bits nor quotas stop, and mounting needs privileges a CI runner may lack.
//
//   QC_FAIL_WRITES_UNDER  absolute path of the folder; the folder itself and everything below it
//   QC_FAIL_WRITES_ERRNO  "EROFS" (the default) or "ENOSPC"
//
// EROFS: opening for writing, creating folders and renaming fail, as on a read-only mount.
// ENOSPC: files can still be created, as long as inodes are left, but no byte can be written to
// them, and folders and renames, which need a new directory block, fail too.
// Reading, stat and unlink are untouched, so the program can still see and tidy what is there.
#define _GNU_SOURCE
#include <dlfcn.h>
#include <errno.h>
#include <fcntl.h>
#include <stdarg.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/stat.h>
#include <unistd.h>

static int Failure(void) {
  const char* name = getenv("QC_FAIL_WRITES_ERRNO");
  return name != NULL && strcmp(name, "ENOSPC") == 0 ? ENOSPC : EROFS;
}

// True for a path in the folder or the folder itself. A relative path is taken from the current
// folder, or from the folder of dirfd for the *at calls.
static int IsUnder(int dirfd, const char* path) {
  const char* folder = getenv("QC_FAIL_WRITES_UNDER");
  if (folder == NULL || folder[0] == '\0' || path == NULL)
    return 0;
  char full[8192];
  if (path[0] == '/') {
    snprintf(full, sizeof full, "%s", path);
  } else {
    char base[4096];
    if (dirfd == AT_FDCWD) {
      if (getcwd(base, sizeof base) == NULL)
        return 0;
    } else {
      char link[64];
      snprintf(link, sizeof link, "/proc/self/fd/%d", dirfd);
      const ssize_t length = readlink(link, base, sizeof base - 1);
      if (length < 0)
        return 0;
      base[length] = '\0';
    }
    snprintf(full, sizeof full, "%s/%s", base, path);
  }
  const size_t n = strlen(folder);
  return strncmp(full, folder, n) == 0 && (full[n] == '\0' || full[n] == '/');
}

static int FdIsUnder(int fd) {
  char link[64];
  char target[4096];
  snprintf(link, sizeof link, "/proc/self/fd/%d", fd);
  const ssize_t length = readlink(link, target, sizeof target - 1);
  if (length < 0)
    return 0;
  target[length] = '\0';
  return IsUnder(AT_FDCWD, target);
}

static int OpensForWriting(int flags) {
  return (flags & (O_WRONLY | O_RDWR | O_CREAT | O_TRUNC)) != 0;
}

static mode_t ModeArgument(int flags, va_list arguments) {
  return (flags & (O_CREAT | O_TMPFILE)) != 0 ? (mode_t)va_arg(arguments, int) : 0;
}

static int RefusedOpen(int dirfd, const char* path, int flags) {
  return OpensForWriting(flags) && Failure() == EROFS && IsUnder(dirfd, path);
}

#define REAL(name, type) ((type)dlsym(RTLD_NEXT, name))

typedef int (*OpenFunction)(const char*, int, ...);
typedef int (*OpenAtFunction)(int, const char*, int, ...);

int open(const char* path, int flags, ...) {
  va_list arguments;
  va_start(arguments, flags);
  const mode_t mode = ModeArgument(flags, arguments);
  va_end(arguments);
  if (RefusedOpen(AT_FDCWD, path, flags))
    return errno = EROFS, -1;
  return REAL("open", OpenFunction)(path, flags, mode);
}

int open64(const char* path, int flags, ...) {
  va_list arguments;
  va_start(arguments, flags);
  const mode_t mode = ModeArgument(flags, arguments);
  va_end(arguments);
  if (RefusedOpen(AT_FDCWD, path, flags))
    return errno = EROFS, -1;
  return REAL("open64", OpenFunction)(path, flags, mode);
}

int openat(int dirfd, const char* path, int flags, ...) {
  va_list arguments;
  va_start(arguments, flags);
  const mode_t mode = ModeArgument(flags, arguments);
  va_end(arguments);
  if (RefusedOpen(dirfd, path, flags))
    return errno = EROFS, -1;
  return REAL("openat", OpenAtFunction)(dirfd, path, flags, mode);
}

int openat64(int dirfd, const char* path, int flags, ...) {
  va_list arguments;
  va_start(arguments, flags);
  const mode_t mode = ModeArgument(flags, arguments);
  va_end(arguments);
  if (RefusedOpen(dirfd, path, flags))
    return errno = EROFS, -1;
  return REAL("openat64", OpenAtFunction)(dirfd, path, flags, mode);
}

int creat(const char* path, mode_t mode) {
  return open(path, O_WRONLY | O_CREAT | O_TRUNC, mode);
}

int creat64(const char* path, mode_t mode) {
  return open64(path, O_WRONLY | O_CREAT | O_TRUNC, mode);
}

ssize_t write(int fd, const void* data, size_t count) {
  if (count > 0 && FdIsUnder(fd))
    return errno = Failure(), -1;
  return REAL("write", ssize_t(*)(int, const void*, size_t))(fd, data, count);
}

int rename(const char* from, const char* to) {
  if (IsUnder(AT_FDCWD, from) || IsUnder(AT_FDCWD, to))
    return errno = Failure(), -1;
  return REAL("rename", int (*)(const char*, const char*))(from, to);
}

int renameat(int fromfd, const char* from, int tofd, const char* to) {
  if (IsUnder(fromfd, from) || IsUnder(tofd, to))
    return errno = Failure(), -1;
  return REAL("renameat", int (*)(int, const char*, int, const char*))(fromfd, from, tofd, to);
}

int renameat2(int fromfd, const char* from, int tofd, const char* to, unsigned flags) {
  if (IsUnder(fromfd, from) || IsUnder(tofd, to))
    return errno = Failure(), -1;
  return REAL("renameat2", int (*)(int, const char*, int, const char*, unsigned))(fromfd, from,
                                                                                  tofd, to, flags);
}

// A folder that is already there is reported as such first, as the kernel does.
static int RefusedFolder(int dirfd, const char* path) {
  if (!IsUnder(dirfd, path))
    return 0;
  struct stat info;
  errno = fstatat(dirfd, path, &info, AT_SYMLINK_NOFOLLOW) == 0 ? EEXIST : Failure();
  return 1;
}

int mkdir(const char* path, mode_t mode) {
  if (RefusedFolder(AT_FDCWD, path))
    return -1;
  return REAL("mkdir", int (*)(const char*, mode_t))(path, mode);
}

int mkdirat(int dirfd, const char* path, mode_t mode) {
  if (RefusedFolder(dirfd, path))
    return -1;
  return REAL("mkdirat", int (*)(int, const char*, mode_t))(dirfd, path, mode);
}
