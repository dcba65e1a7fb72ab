#include "charfile/file_access.h"

namespace charfile {

bool ReadFilePrefix(const char* path, void* buffer, size_t capacity, size_t* size,
                    FileError* error) {
  InputFile file;
  if (!file.Open(path, error)) {
    return false;
  }
  auto* bytes = static_cast<uint8_t*>(buffer);
  size_t filled = 0;
  while (filled < capacity) {
    size_t got = 0;
    if (!file.Read(bytes + filled, capacity - filled, &got, error)) {
      return false;
    }
    if (got == 0) {
      break;
    }
    filled += got;
  }
  *size = filled;
  return true;
}

}  // namespace charfile
