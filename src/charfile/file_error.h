// Why a read or write of a character file was refused, and where.
#ifndef CHARFILE_FILE_ERROR_H
#define CHARFILE_FILE_ERROR_H

#include <cstddef>
#include <cstdint>

namespace charfile {

enum class ErrorCode : uint8_t {
  kNone,
  kSystem,           // the system refused an open, read, write or rename
  kEndsEarly,        // the file ends before the last entry is complete
  kTextTooLong,      // a binary length byte above 99
  kTooManyEntries,   // an entry count above 30
  kLineTooLong,      // a text line over 99 bytes before its line end
  kLineBreakInText,  // a text to write holds a CR or LF byte
  kRecordInvalid,    // a record to write breaks its own limits
  kOutputTooLarge,   // the encoded form does not fit the given buffer
  kCount
};

// What `position` counts.
enum class ErrorPlace : uint8_t {
  kNone,
  kByteOffset,  // from the start of a binary file
  kLine,        // line number in a text file, from 1
};

struct FileError {
  ErrorCode code = ErrorCode::kNone;
  ErrorPlace place = ErrorPlace::kNone;
  long position = 0;
  int systemError = 0;  // for kSystem: errno, or GetLastError() on Windows
};

// A short identifier such as "EndsEarly", and a sentence such as
// "File ends early".
const char* ErrorName(ErrorCode code);
const char* ErrorText(ErrorCode code);

// One line for a person, without line end: the system's own text for
// kSystem, otherwise the sentence and its place, such as
// "File ends early (byte offset 21)". Always NUL-terminates when
// capacity > 0; returns the length it wanted.
size_t FormatError(const FileError& error, char* out, size_t capacity);

// Fills `error`, when given, and returns false so that callers can write
// `return Fail(...)`.
bool Fail(FileError* error, ErrorCode code, ErrorPlace place = ErrorPlace::kNone,
          long position = 0);
bool FailSystem(FileError* error, int systemError);

}  // namespace charfile

#endif  // CHARFILE_FILE_ERROR_H
