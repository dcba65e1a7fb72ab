// The files under the four file operations: the library's only contact with
// the operating system. Everything above works on memory.
#ifndef CHARFILE_FILE_ACCESS_H
#define CHARFILE_FILE_ACCESS_H

#include <cstddef>
#include <cstdint>

#include "charfile/file_error.h"

namespace charfile {

// A file open for reading, closed when it goes out of scope.
class InputFile {
 public:
  InputFile() = default;
  InputFile(const InputFile&) = delete;
  InputFile& operator=(const InputFile&) = delete;
  ~InputFile();

  bool Open(const char* path, FileError* error);
  // Reads at most `capacity` bytes; a `size` of 0 means the end of the file.
  bool Read(void* buffer, size_t capacity, size_t* size, FileError* error);

 private:
  intptr_t handle_ = -1;
};

// Reads from the start of the file until `capacity` bytes are in or the file
// ends, whichever comes first.
bool ReadFilePrefix(const char* path, void* buffer, size_t capacity, size_t* size,
                    FileError* error);

// The system's own text for one of its error codes, as FileError keeps
// them, without line end. Always NUL-terminates when capacity > 0; returns
// the length it wanted.
size_t SystemErrorText(int code, char* out, size_t capacity);

// Makes the file at `path` hold exactly data[0, size): writes a new file in
// the same folder and renames it over `path` once every byte is written and
// closed. On failure an existing file keeps its old contents, the new file
// is removed, and `error` holds the system's reason.
bool ReplaceFileContents(const char* path, const void* data, size_t size, FileError* error);

}  // namespace charfile

#endif  // CHARFILE_FILE_ACCESS_H
