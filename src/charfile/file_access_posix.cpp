// POSIX side of file_access.h.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "charfile/file_access.h"

namespace charfile {
namespace {

constexpr int kTempAttempts = 100;
constexpr size_t kTempPathCapacity = PATH_MAX + 64;

// Creates a new, empty file in the folder of `path`, under a name that no
// other file has, and puts that name in `tempPath`. Returns its descriptor,
// or -1 with `error` set.
int CreateTempBeside(const char* path, char* tempPath, FileError* error) {
  const char* slash = std::strrchr(path, '/');
  const int folderLength = slash == nullptr ? 0 : static_cast<int>(slash - path + 1);
  const long pid = static_cast<long>(getpid());
  for (int attempt = 0; attempt < kTempAttempts; ++attempt) {
    const int length = std::snprintf(tempPath, kTempPathCapacity, "%.*s.charflip-%ld-%d.tmp",
                                     folderLength, path, pid, attempt);
    if (length < 0 || static_cast<size_t>(length) >= kTempPathCapacity) {
      FailSystem(error, ENAMETOOLONG);
      return -1;
    }
    // 0666 so that the output gets the same permissions as any new file.
    const int fd = open(tempPath, O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd >= 0) {
      return fd;
    }
    if (errno != EEXIST) {
      FailSystem(error, errno);
      return -1;
    }
  }
  FailSystem(error, EEXIST);
  return -1;
}

bool WriteAll(int fd, const uint8_t* data, size_t size, FileError* error) {
  while (size > 0) {
    const ssize_t written = write(fd, data, size);
    if (written < 0) {
      if (errno == EINTR) {
        continue;
      }
      return FailSystem(error, errno);
    }
    if (written == 0) {
      return FailSystem(error, ENOSPC);
    }
    data += written;
    size -= static_cast<size_t>(written);
  }
  return true;
}

}  // namespace

size_t SystemErrorText(int code, char* out, size_t capacity) {
  const int length = std::snprintf(out, capacity, "%s", std::strerror(code));
  return length < 0 ? 0 : static_cast<size_t>(length);
}

InputFile::~InputFile() {
  if (handle_ >= 0) {
    close(static_cast<int>(handle_));
  }
}

bool InputFile::Open(const char* path, FileError* error) {
  const int fd = open(path, O_RDONLY | O_CLOEXEC);
  if (fd < 0) {
    return FailSystem(error, errno);
  }
  handle_ = fd;
  return true;
}

bool InputFile::Read(void* buffer, size_t capacity, size_t* size, FileError* error) {
  for (;;) {
    const ssize_t got = read(static_cast<int>(handle_), buffer, capacity);
    if (got >= 0) {
      *size = static_cast<size_t>(got);
      return true;
    }
    if (errno != EINTR) {
      return FailSystem(error, errno);
    }
  }
}

bool ReplaceFileContents(const char* path, const void* data, size_t size, FileError* error) {
  // Through a symbolic link, replace the file it names, not the link.
  char linkTarget[PATH_MAX];
  struct stat existing {};
  bool exists = lstat(path, &existing) == 0;
  if (exists && S_ISLNK(existing.st_mode)) {
    if (realpath(path, linkTarget) != nullptr) {
      path = linkTarget;
      exists = stat(path, &existing) == 0;
    } else {
      exists = false;  // a link to nothing is replaced like a missing file
    }
  }
  // A rename would replace even a file that may not be written; keep that
  // protection, as opening the file for writing would.
  if (exists && access(path, W_OK) != 0) {
    return FailSystem(error, errno);
  }
  char tempPath[kTempPathCapacity];
  const int fd = CreateTempBeside(path, tempPath, error);
  if (fd < 0) {
    return false;
  }
  bool done = true;
  // The new file takes the old one's permissions, so a private file stays private.
  if (exists && S_ISREG(existing.st_mode) && fchmod(fd, existing.st_mode & 07777) != 0) {
    done = FailSystem(error, errno);
  }
  done = done && WriteAll(fd, static_cast<const uint8_t*>(data), size, error);
  if (close(fd) != 0 && done) {
    done = FailSystem(error, errno);
  }
  if (done && rename(tempPath, path) != 0) {
    done = FailSystem(error, errno);
  }
  if (!done) {
    unlink(tempPath);
  }
  return done;
}

}  // namespace charfile
