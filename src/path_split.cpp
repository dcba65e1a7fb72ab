#include "path_split.h"

#include <cstring>

namespace charflip {
namespace {

template <size_t N>
void CopyCut(char (&target)[N], const char* begin, const char* end) {
  size_t length = static_cast<size_t>(end - begin);
  if (length > N - 1) {
    length = N - 1;
  }
  std::memcpy(target, begin, length);
  target[length] = '\0';
}

}  // namespace

void SplitPath(const char* path, LeadByteTest isLeadByte, PathParts* parts) {
  const char* rest = path;
  if (path[0] != '\0' && path[1] == ':') {
    rest = path + 2;
  }
  CopyCut(parts->drive, path, rest);

  const char* nameStart = rest;
  const char* lastDot = nullptr;
  const char* end = rest;
  for (; *end != '\0'; ++end) {
    const auto byte = static_cast<unsigned char>(*end);
    if (isLeadByte != nullptr && isLeadByte(byte) && end[1] != '\0') {
      ++end;  // the trail byte may look like '\' but belongs to this character
    } else if (byte == '/' || byte == '\\') {
      nameStart = end + 1;
    } else if (byte == '.') {
      lastDot = end;
    }
  }
  const char* extensionStart = lastDot != nullptr && lastDot >= nameStart ? lastDot : end;
  CopyCut(parts->directory, rest, nameStart);
  CopyCut(parts->baseName, nameStart, extensionStart);
  CopyCut(parts->extension, extensionStart, end);
}

}  // namespace charflip
