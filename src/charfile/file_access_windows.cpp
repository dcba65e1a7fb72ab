// Windows side of file_access.h. Paths are bytes in the ANSI code page and
// go to the -A functions as they are.
#include <windows.h>

#include <cstdio>

#include "charfile/file_access.h"

namespace charfile {
namespace {

constexpr int kTempAttempts = 100;
constexpr size_t kTempPathCapacity = MAX_PATH + 64;
constexpr DWORD kLargestTransfer = 1u << 30;

bool FailLastError(FileError* error) { return FailSystem(error, static_cast<int>(GetLastError())); }

HANDLE AsHandle(intptr_t handle) { return reinterpret_cast<HANDLE>(handle); }

// Length of the folder part of `path`: up to and including its last
// separator, else its drive. The second byte of a double-byte character may
// be '\' and is no separator.
int FolderLength(const char* path) {
  int folder = (path[0] != '\0' && path[1] == ':') ? 2 : 0;
  for (int i = folder; path[i] != '\0'; ++i) {
    const auto byte = static_cast<unsigned char>(path[i]);
    if (IsDBCSLeadByte(byte) && path[i + 1] != '\0') {
      ++i;
    } else if (byte == '\\' || byte == '/') {
      folder = i + 1;
    }
  }
  return folder;
}

// Creates a new, empty file in the folder of `path`, under a name that no
// other file has, and puts that name in `tempPath`.
HANDLE CreateTempBeside(const char* path, char* tempPath, FileError* error) {
  const int folderLength = FolderLength(path);
  const unsigned long processId = GetCurrentProcessId();
  for (int attempt = 0; attempt < kTempAttempts; ++attempt) {
    const int length = std::snprintf(tempPath, kTempPathCapacity, "%.*s.charflip-%lu-%d.tmp",
                                     folderLength, path, processId, attempt);
    if (length < 0 || static_cast<size_t>(length) >= kTempPathCapacity) {
      FailSystem(error, ERROR_FILENAME_EXCED_RANGE);
      return INVALID_HANDLE_VALUE;
    }
    const HANDLE file = CreateFileA(tempPath, GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file != INVALID_HANDLE_VALUE) {
      return file;
    }
    if (GetLastError() != ERROR_FILE_EXISTS) {
      FailLastError(error);
      return INVALID_HANDLE_VALUE;
    }
  }
  FailSystem(error, ERROR_FILE_EXISTS);
  return INVALID_HANDLE_VALUE;
}

bool WriteAll(HANDLE file, const uint8_t* data, size_t size, FileError* error) {
  while (size > 0) {
    const DWORD part = size < kLargestTransfer ? static_cast<DWORD>(size) : kLargestTransfer;
    DWORD written = 0;
    if (!WriteFile(file, data, part, &written, nullptr)) {
      return FailLastError(error);
    }
    if (written == 0) {
      return FailSystem(error, ERROR_DISK_FULL);
    }
    data += written;
    size -= written;
  }
  return true;
}

}  // namespace

size_t SystemErrorText(int code, char* out, size_t capacity) {
  DWORD length = capacity == 0
                     ? 0
                     : FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS |
                                          FORMAT_MESSAGE_MAX_WIDTH_MASK,
                                      nullptr, static_cast<DWORD>(code), 0, out,
                                      static_cast<DWORD>(capacity), nullptr);
  if (length == 0) {
    const int fallback = std::snprintf(out, capacity, "System error %d", code);
    return fallback < 0 ? 0 : static_cast<size_t>(fallback);
  }
  // The system's text ends in a line break or a blank; the caller adds its own.
  while (length > 0 &&
         (out[length - 1] == '\r' || out[length - 1] == '\n' || out[length - 1] == ' ')) {
    out[--length] = '\0';
  }
  return length;
}

InputFile::~InputFile() {
  if (AsHandle(handle_) != INVALID_HANDLE_VALUE) {
    CloseHandle(AsHandle(handle_));
  }
}

bool InputFile::Open(const char* path, FileError* error) {
  const HANDLE file =
      CreateFileA(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                  nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    return FailLastError(error);
  }
  handle_ = reinterpret_cast<intptr_t>(file);
  return true;
}

bool InputFile::Read(void* buffer, size_t capacity, size_t* size, FileError* error) {
  const DWORD part = capacity < kLargestTransfer ? static_cast<DWORD>(capacity) : kLargestTransfer;
  DWORD got = 0;
  if (!ReadFile(AsHandle(handle_), buffer, part, &got, nullptr)) {
    if (GetLastError() != ERROR_BROKEN_PIPE) {  // a pipe's writer closing is its end
      return FailLastError(error);
    }
    got = 0;
  }
  *size = got;
  return true;
}

bool ReplaceFileContents(const char* path, const void* data, size_t size, FileError* error) {
  // Replacing would go over even a read-only file; keep that protection, as
  // opening the file for writing would.
  const DWORD attributes = GetFileAttributesA(path);
  if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY) != 0 &&
      (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0) {
    return FailSystem(error, ERROR_ACCESS_DENIED);
  }
  char tempPath[kTempPathCapacity];
  const HANDLE file = CreateTempBeside(path, tempPath, error);
  if (file == INVALID_HANDLE_VALUE) {
    return false;
  }
  bool done = WriteAll(file, static_cast<const uint8_t*>(data), size, error);
  if (!CloseHandle(file) && done) {
    done = FailLastError(error);
  }
  // Unlike rename(), this replaces an existing file.
  if (done && !MoveFileExA(tempPath, path, MOVEFILE_REPLACE_EXISTING)) {
    done = FailLastError(error);
  }
  if (!done) {
    DeleteFileA(tempPath);
  }
  return done;
}

}  // namespace charfile
