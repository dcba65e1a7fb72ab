#include <windows.h>

#include "platform.h"

namespace charflip {

void PrepareProcess() {
  // A drive with no medium fails the open instead of asking on screen.
  SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
}

// The code page in force when the tool started, as Windows itself splits
// paths.
bool IsAnsiLeadByte(unsigned char byte) { return IsDBCSLeadByte(byte) != FALSE; }

// WriteFile passes bytes through: each message keeps its single CR LF, where
// the C runtime's text mode would make it CR CR LF.
void WriteStandardOutput(const char* data, size_t size) {
  const HANDLE output = GetStdHandle(STD_OUTPUT_HANDLE);
  if (output == nullptr || output == INVALID_HANDLE_VALUE) {
    return;
  }
  while (size > 0) {
    DWORD written = 0;
    if (!WriteFile(output, data, static_cast<DWORD>(size), &written, nullptr) || written == 0) {
      return;  // nowhere left to report to
    }
    data += written;
    size -= written;
  }
}

}  // namespace charflip
