#include "charfile/file_error.h"

#include <cstdio>

#include "charfile/file_access.h"

namespace charfile {
namespace {

struct ErrorInfo {
  const char* name;
  const char* text;
};

// One row per ErrorCode, in the same order.
constexpr ErrorInfo kErrorInfo[] = {
    {"None", "No error"},
    {"System", "System error"},
    {"EndsEarly", "File ends early"},
    {"TextTooLong", "Text longer than 99 bytes"},
    {"TooManyEntries", "Entry count above 30"},
    {"LineTooLong", "Text line longer than 99 bytes"},
    {"LineBreakInText", "Text holds a CR or LF byte, which the text form cannot carry"},
    {"RecordInvalid", "Record breaks its limits"},
    {"OutputTooLarge", "Output does not fit its buffer"},
};
static_assert(sizeof kErrorInfo / sizeof kErrorInfo[0] == static_cast<size_t>(ErrorCode::kCount),
              "kErrorInfo needs one row per ErrorCode");

const ErrorInfo& InfoFor(ErrorCode code) {
  const auto index = static_cast<size_t>(code);
  return index < static_cast<size_t>(ErrorCode::kCount) ? kErrorInfo[index] : kErrorInfo[0];
}

}  // namespace

const char* ErrorName(ErrorCode code) { return InfoFor(code).name; }
const char* ErrorText(ErrorCode code) { return InfoFor(code).text; }

size_t FormatError(const FileError& error, char* out, size_t capacity) {
  int length = 0;
  if (error.code == ErrorCode::kSystem) {
    return SystemErrorText(error.systemError, out, capacity);
  } else if (error.place == ErrorPlace::kByteOffset) {
    length =
        std::snprintf(out, capacity, "%s (byte offset %ld)", ErrorText(error.code), error.position);
  } else if (error.place == ErrorPlace::kLine) {
    length = std::snprintf(out, capacity, "%s (line %ld)", ErrorText(error.code), error.position);
  } else {
    length = std::snprintf(out, capacity, "%s", ErrorText(error.code));
  }
  return length < 0 ? 0 : static_cast<size_t>(length);
}

bool Fail(FileError* error, ErrorCode code, ErrorPlace place, long position) {
  if (error != nullptr) {
    *error = FileError{code, place, position, 0};
  }
  return false;
}

bool FailSystem(FileError* error, int systemError) {
  if (error != nullptr) {
    *error = FileError{ErrorCode::kSystem, ErrorPlace::kNone, 0, systemError};
  }
  return false;
}

}  // namespace charfile
