#include "console.h"

#include <cstring>

#include "platform.h"

namespace charflip {

void Console::Print(const char* format, const char* argument) {
  const char* placeholder = std::strstr(format, "%s");
  if (placeholder == nullptr) {
    Append(format, std::strlen(format));
    return;
  }
  Append(format, static_cast<size_t>(placeholder - format));
  Append(argument, std::strlen(argument));
  Append(placeholder + 2, std::strlen(placeholder + 2));
}

void Console::Append(const char* text, size_t length) {
  while (length > 0) {
    if (size_ == sizeof buffer_) {
      Flush();
    }
    const size_t room = sizeof buffer_ - size_;
    const size_t part = length < room ? length : room;
    std::memcpy(buffer_ + size_, text, part);
    size_ += part;
    text += part;
    length -= part;
  }
}

void Console::Flush() {
  WriteStandardOutput(buffer_, size_);
  size_ = 0;
}

}  // namespace charflip
