// Reads the text form a piece at a time, so that a file of any size goes
// through a fixed buffer and a line may be split across two pieces.
//
// One value per line: a comment and a version (both ignored), the two
// leading values, the name, the two name values, the entry count, four
// lines per entry (text, text, number, number), then a trailer (ignored).
// A line ends at LF; a last line without one ends at the end of the file.
//
// A text keeps the bytes of its line up to the first CR or LF, and a NUL
// among them ends it as in any C string; more than 99 such bytes refuse the
// file. A number skips leading white space, takes an optional sign and the
// digits that follow, wrapping around in 32 bits, and ignores the rest of
// the line; a line without digits gives 0. Every other line may be of any
// length.
#ifndef CHARFILE_CMX_PARSER_H
#define CHARFILE_CMX_PARSER_H

#include <cstddef>
#include <cstdint>

#include "charfile/character_file.h"

namespace charfile {

class CmxParser {
 public:
  explicit CmxParser(CharacterFile& record);

  // Takes the next `size` bytes of the file. Returns false once the file is
  // refused; later calls then keep returning false.
  bool Feed(const char* data, size_t size, FileError* error);

  // True once the trailer line has ended: bytes after it are not needed.
  bool done() const { return done_; }

  // Ends the file: completes a last line that has no LF and refuses a file
  // that ended before its last entry.
  bool Finish(FileError* error);

 private:
  enum class NumberPhase : uint8_t { kLeadingSpace, kDigits, kAfter };

  void BeginLine();
  bool TakeText(const char* data, size_t size, FileError* error);
  void TakeNumber(const char* data, size_t size);
  bool EndLine(FileError* error);
  long LastValueLine() const;
  bool Refuse(FileError* error, ErrorCode code, long line);

  CharacterFile& record_;
  long line_ = 1;  // the line being read, from 1
  bool lineStarted_ = false;
  bool done_ = false;
  bool refused_ = false;
  bool countKnown_ = false;

  // The field the current line fills: a number, a text or neither.
  int32_t* number_ = nullptr;
  char* text_ = nullptr;

  size_t textLength_ = 0;    // bytes kept so far, before any CR
  bool textClosed_ = false;  // a CR ended the text; the rest is ignored

  NumberPhase phase_ = NumberPhase::kLeadingSpace;
  bool negative_ = false;
  uint32_t magnitude_ = 0;
};

}  // namespace charfile

#endif  // CHARFILE_CMX_PARSER_H
