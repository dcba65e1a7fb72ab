// Messages for standard output, gathered and written in one go.
#ifndef CHARFLIP_CONSOLE_H
#define CHARFLIP_CONSOLE_H

#include <cstddef>

namespace charflip {

class Console {
 public:
  Console() = default;
  Console(const Console&) = delete;
  Console& operator=(const Console&) = delete;
  ~Console() { Flush(); }

  // Appends `format` with its one "%s", if any, replaced by `argument`.
  void Print(const char* format, const char* argument = "");
  void Flush();

 private:
  void Append(const char* text, size_t length);

  char buffer_[4096] = {};
  size_t size_ = 0;
};

}  // namespace charflip

#endif  // CHARFLIP_CONSOLE_H
