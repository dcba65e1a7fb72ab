#include <unistd.h>

#include <cerrno>
#include <csignal>

#include "platform.h"

namespace charflip {

void PrepareProcess() {
  // Writes past a file size limit fail with EFBIG, and writes to a closed
  // pipe with EPIPE, instead of ending the process; both are then reported
  // or ignored like any other write error.
  static_cast<void>(std::signal(SIGXFSZ, SIG_IGN));
  static_cast<void>(std::signal(SIGPIPE, SIG_IGN));
}

bool IsAnsiLeadByte(unsigned char /*byte*/) { return false; }

void WriteStandardOutput(const char* data, size_t size) {
  while (size > 0) {
    const ssize_t written = write(STDOUT_FILENO, data, size);
    if (written < 0 && errno == EINTR) {
      continue;
    }
    if (written <= 0) {
      return;  // nowhere left to report to
    }
    data += written;
    size -= static_cast<size_t>(written);
  }
}

}  // namespace charflip
