// The text form: one value per line, every line ending in CR LF.
#include <cstring>

#include "charfile/character_file.h"
#include "charfile/cmx_parser.h"
#include "charfile/file_access.h"
#include "charfile/record_limits.h"

namespace charfile {
namespace {

constexpr size_t kReadChunkSize = size_t{16} * 1024;

// "00" to "99", for writing numbers two digits at a time.
constexpr char kDigitPairs[] =
    "00010203040506070809101112131415161718192021222324252627282930313233343536373839"
    "40414243444546474849505152535455565758596061626364656667686970717273747576777879"
    "8081828384858687888990919293949596979899";

// Puts the two digits of `pair` (0 to 99) just before `end`.
char* PutDigitPair(char* end, uint32_t pair) {
  const char* digits = kDigitPairs + size_t{2} * pair;
  end[-1] = digits[1];
  end[-2] = digits[0];
  return end - 2;
}

// Appends lines to a caller's buffer; refuses once it would overflow or a
// text would break its line.
class CmxSink {
 public:
  CmxSink(char* out, size_t capacity) : out_(out), capacity_(capacity) {}

  size_t size() const { return size_; }
  bool overflowed() const { return overflowed_; }

  void WriteLine(const char* text, size_t length) {
    if (overflowed_ || capacity_ - size_ < length + 2) {
      overflowed_ = true;
      return;
    }
    std::memcpy(out_ + size_, text, length);
    size_ += length;
    out_[size_++] = '\r';
    out_[size_++] = '\n';
    ++line_;
  }

  // A CR or LF inside the text would end its line early and shift every
  // later value, so such a text is refused.
  bool WriteTextLine(const char* field, FileError* error) {
    const size_t length = TextLength(field);
    if (length > static_cast<size_t>(kMaxTextLength)) {
      return Fail(error, ErrorCode::kRecordInvalid);
    }
    if (std::memchr(field, '\r', length) != nullptr ||
        std::memchr(field, '\n', length) != nullptr) {
      return Fail(error, ErrorCode::kLineBreakInText, ErrorPlace::kLine, line_);
    }
    WriteLine(field, length);
    return true;
  }

  void WriteNumberLine(int32_t value) {
    char digits[kCmxMaxDecimalLength];
    char* start = digits + sizeof digits;
    // Work on the magnitude in unsigned arithmetic so that INT32_MIN works,
    // two digits at a time.
    const auto bits = static_cast<uint32_t>(value);
    uint32_t magnitude = value < 0 ? 0u - bits : bits;
    while (magnitude >= 100) {
      start = PutDigitPair(start, magnitude % 100);
      magnitude /= 100;
    }
    if (magnitude >= 10) {
      start = PutDigitPair(start, magnitude);
    } else {
      *--start = static_cast<char>('0' + magnitude);
    }
    if (value < 0) {
      *--start = '-';
    }
    WriteLine(start, static_cast<size_t>(digits + sizeof digits - start));
  }

 private:
  char* out_;
  size_t capacity_;
  size_t size_ = 0;
  bool overflowed_ = false;
  long line_ = 1;  // the line written next
};

}  // namespace

bool EncodeCmx(const CharacterFile& record, char* out, size_t capacity, size_t* size,
               FileError* error) {
  if (record.entryCount > kMaxEntries) {
    return Fail(error, ErrorCode::kTooManyEntries);
  }
  CmxSink sink(out, capacity);
  sink.WriteLine(kCmxFirstLine, sizeof kCmxFirstLine - 1);
  sink.WriteLine(kCmxVersionLine, sizeof kCmxVersionLine - 1);
  sink.WriteNumberLine(record.leadingValue1);
  sink.WriteNumberLine(record.leadingValue2);
  if (!sink.WriteTextLine(record.name, error)) {
    return false;
  }
  sink.WriteNumberLine(record.nameValue1);
  sink.WriteNumberLine(record.nameValue2);
  sink.WriteNumberLine(record.entryCount);
  for (int i = 0; i < EntriesInUse(record); ++i) {
    const CharacterEntry& entry = record.entries[i];
    if (!sink.WriteTextLine(entry.text1, error) || !sink.WriteTextLine(entry.text2, error)) {
      return false;
    }
    sink.WriteNumberLine(entry.value1);
    sink.WriteNumberLine(entry.value2);
  }
  sink.WriteLine(kCmxTrailerLine, sizeof kCmxTrailerLine - 1);
  if (sink.overflowed()) {
    return Fail(error, ErrorCode::kOutputTooLarge);
  }
  *size = sink.size();
  return true;
}

bool DecodeCmx(const char* data, size_t size, CharacterFile* record, FileError* error) {
  CmxParser parser(*record);
  return parser.Feed(data, size, error) && parser.Finish(error);
}

bool CharacterFile::ReadCmx(const char* path, FileError* error) {
  InputFile file;
  if (!file.Open(path, error)) {
    return false;
  }
  CmxParser parser(*this);
  char chunk[kReadChunkSize];
  while (!parser.done()) {
    size_t got = 0;
    if (!file.Read(chunk, sizeof chunk, &got, error)) {
      return false;
    }
    if (got == 0) {
      break;
    }
    if (!parser.Feed(chunk, got, error)) {
      return false;
    }
  }
  return parser.Finish(error);
}

bool CharacterFile::WriteCmx(const char* path, FileError* error) const {
  char text[kMaxCmxSize];
  size_t size = 0;
  return EncodeCmx(*this, text, sizeof text, &size, error) &&
         ReplaceFileContents(path, text, size, error);
}

}  // namespace charfile
