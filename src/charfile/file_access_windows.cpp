// Windows side of file_access.h. Paths arrive as bytes in the ANSI code
// page; they are widened once and used in their long form.
#include <windows.h>

#include <cstdio>
#include <cwchar>

#include "charfile/file_access.h"

namespace charfile {
namespace {

constexpr int kTempAttempts = 100;
constexpr DWORD kLargestTransfer = 1u << 30;
// Room for any absolute path the system can make of a 255-byte argument.
constexpr DWORD kWidePathCapacity = 4096;

bool FailLastError(FileError* error) { return FailSystem(error, static_cast<int>(GetLastError())); }

HANDLE AsHandle(intptr_t handle) { return reinterpret_cast<HANDLE>(handle); }

// An ANSI path as an absolute "\\?\" path, which the system takes as it
// is and without the 260-character limit: the temporary file beside a
// long output path must not fail where the output itself would not.
bool ToFullWidePath(const char* path, wchar_t* out, FileError* error) {
  wchar_t wide[kWidePathCapacity];
  if (MultiByteToWideChar(CP_ACP, 0, path, -1, wide, kWidePathCapacity) == 0) {
    return FailLastError(error);
  }
  wchar_t full[kWidePathCapacity];
  const DWORD length = GetFullPathNameW(wide, kWidePathCapacity, full, nullptr);
  if (length == 0) {
    return FailLastError(error);
  }
  if (length >= kWidePathCapacity - 8) {
    return FailSystem(error, ERROR_FILENAME_EXCED_RANGE);
  }
  const bool alreadyLong = wcsncmp(full, L"\\\\?\\", 4) == 0;
  const bool network = !alreadyLong && wcsncmp(full, L"\\\\", 2) == 0;
  const wchar_t* prefix = alreadyLong ? L"" : network ? L"\\\\?\\UNC\\" : L"\\\\?\\";
  wcscpy(out, prefix);
  wcscat(out, network ? full + 2 : full);
  return true;
}

// Creates a new, empty file in the folder of `path` (a full wide path),
// under a name that no other file has, and puts that name in `tempPath`.
HANDLE CreateTempBeside(const wchar_t* path, wchar_t* tempPath, FileError* error) {
  const wchar_t* lastSeparator = wcsrchr(path, L'\\');
  const size_t folderLength =
      lastSeparator == nullptr ? 0 : static_cast<size_t>(lastSeparator - path) + 1;
  const unsigned long processId = GetCurrentProcessId();
  for (int attempt = 0; attempt < kTempAttempts; ++attempt) {
    char name[64];
    const int nameLength =
        std::snprintf(name, sizeof name, ".charflip-%lu-%d.tmp", processId, attempt);
    if (folderLength + static_cast<size_t>(nameLength) >= kWidePathCapacity) {
      FailSystem(error, ERROR_FILENAME_EXCED_RANGE);
      return INVALID_HANDLE_VALUE;
    }
    wmemcpy(tempPath, path, folderLength);
    for (int i = 0; i <= nameLength; ++i) {
      tempPath[folderLength + static_cast<size_t>(i)] = static_cast<wchar_t>(name[i]);
    }
    const HANDLE file = CreateFileW(tempPath, GENERIC_WRITE, 0, nullptr, CREATE_NEW,
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
  wchar_t fullPath[kWidePathCapacity];
  if (!ToFullWidePath(path, fullPath, error)) {
    return false;
  }
  const HANDLE file =
      CreateFileW(fullPath, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
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
  wchar_t fullPath[kWidePathCapacity];
  if (!ToFullWidePath(path, fullPath, error)) {
    return false;
  }
  // Replacing would go over even a read-only file; keep that protection, as
  // opening the file for writing would.
  const DWORD attributes = GetFileAttributesW(fullPath);
  if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY) != 0 &&
      (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0) {
    return FailSystem(error, ERROR_ACCESS_DENIED);
  }
  wchar_t tempPath[kWidePathCapacity];
  const HANDLE file = CreateTempBeside(fullPath, tempPath, error);
  if (file == INVALID_HANDLE_VALUE) {
    return false;
  }
  bool done = WriteAll(file, static_cast<const uint8_t*>(data), size, error);
  if (!CloseHandle(file) && done) {
    done = FailLastError(error);
  }
  // Unlike rename(), this replaces an existing file.
  if (done && !MoveFileExW(tempPath, fullPath, MOVEFILE_REPLACE_EXISTING)) {
    done = FailLastError(error);
  }
  if (!done) {
    DeleteFileW(tempPath);
  }
  return done;
}

}  // namespace charfile
