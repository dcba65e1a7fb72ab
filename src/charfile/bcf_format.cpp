// The binary form: fields back to back with no header or padding. An integer
// is 4 bytes, least significant first; a text is a length byte (0 to 99)
// and that many bytes, with no NUL.
#include <cstring>

#include "charfile/character_file.h"
#include "charfile/file_access.h"
#include "charfile/record_limits.h"

namespace charfile {
namespace {

constexpr size_t kIntegerSize = 4;

// Takes fields one after another from a binary file in memory, and refuses
// the first one that is cut short or breaks the record's limits.
class BcfSource {
 public:
  BcfSource(const uint8_t* data, size_t size, FileError* error)
      : data_(data), size_(size), error_(error) {}

  size_t offset() const { return offset_; }

  bool ReadInteger(int32_t* value) {
    if (size_ - offset_ < kIntegerSize) {
      return Fail(error_, ErrorCode::kEndsEarly, ErrorPlace::kByteOffset, Place());
    }
    const uint8_t* bytes = data_ + offset_;
    const uint32_t bits = static_cast<uint32_t>(bytes[0]) | static_cast<uint32_t>(bytes[1]) << 8 |
                          static_cast<uint32_t>(bytes[2]) << 16 |
                          static_cast<uint32_t>(bytes[3]) << 24;
    *value = static_cast<int32_t>(bits);
    offset_ += kIntegerSize;
    return true;
  }

  // A NUL inside the text ends it there, as in any C string.
  bool ReadText(char* field) {
    if (offset_ == size_) {
      return Fail(error_, ErrorCode::kEndsEarly, ErrorPlace::kByteOffset, Place());
    }
    const size_t length = data_[offset_];
    if (length > static_cast<size_t>(kMaxTextLength)) {
      return Fail(error_, ErrorCode::kTextTooLong, ErrorPlace::kByteOffset, Place());
    }
    if (size_ - offset_ - 1 < length) {
      return Fail(error_, ErrorCode::kEndsEarly, ErrorPlace::kByteOffset, Place());
    }
    const uint8_t* text = data_ + offset_ + 1;
    const void* nul = std::memchr(text, 0, length);
    const size_t kept =
        nul == nullptr ? length : static_cast<size_t>(static_cast<const uint8_t*>(nul) - text);
    std::memcpy(field, text, kept);
    field[kept] = '\0';
    offset_ += 1 + length;
    return true;
  }

 private:
  long Place() const { return static_cast<long>(offset_); }

  const uint8_t* data_;
  size_t size_;
  size_t offset_ = 0;
  FileError* error_;
};

// Appends fields to a caller's buffer. Stops at the first problem: a text
// without its NUL within the field, or no room left.
class BcfSink {
 public:
  BcfSink(uint8_t* out, size_t capacity) : out_(out), capacity_(capacity) {}

  size_t size() const { return size_; }
  ErrorCode problem() const { return problem_; }

  void WriteInteger(int32_t value) {
    if (!Reserve(kIntegerSize)) {
      return;
    }
    const auto bits = static_cast<uint32_t>(value);
    for (size_t i = 0; i < kIntegerSize; ++i) {
      out_[size_++] = static_cast<uint8_t>(bits >> (8 * i));
    }
  }

  void WriteText(const char* field) {
    const size_t length = TextLength(field);
    if (length > static_cast<size_t>(kMaxTextLength)) {
      problem_ = problem_ == ErrorCode::kNone ? ErrorCode::kRecordInvalid : problem_;
    }
    if (!Reserve(1 + length)) {
      return;
    }
    out_[size_++] = static_cast<uint8_t>(length);
    std::memcpy(out_ + size_, field, length);
    size_ += length;
  }

 private:
  bool Reserve(size_t count) {
    if (problem_ == ErrorCode::kNone && capacity_ - size_ < count) {
      problem_ = ErrorCode::kOutputTooLarge;
    }
    return problem_ == ErrorCode::kNone;
  }

  uint8_t* out_;
  size_t capacity_;
  size_t size_ = 0;
  ErrorCode problem_ = ErrorCode::kNone;
};

bool DecodeEntry(BcfSource& source, CharacterEntry* entry) {
  return source.ReadText(entry->text1) && source.ReadText(entry->text2) &&
         source.ReadInteger(&entry->value1) && source.ReadInteger(&entry->value2);
}

}  // namespace

bool DecodeBcf(const uint8_t* data, size_t size, CharacterFile* record, FileError* error) {
  BcfSource source(data, size, error);
  if (!source.ReadInteger(&record->leadingValue1) || !source.ReadInteger(&record->leadingValue2) ||
      !source.ReadText(record->name) || !source.ReadInteger(&record->nameValue1) ||
      !source.ReadInteger(&record->nameValue2)) {
    return false;
  }
  const long countOffset = static_cast<long>(source.offset());
  if (!source.ReadInteger(&record->entryCount)) {
    return false;
  }
  if (record->entryCount > kMaxEntries) {
    return Fail(error, ErrorCode::kTooManyEntries, ErrorPlace::kByteOffset, countOffset);
  }
  for (int i = 0; i < EntriesInUse(*record); ++i) {
    if (!DecodeEntry(source, &record->entries[i])) {
      return false;
    }
  }
  // The trailer carries nothing: whether it is there, cut short or followed
  // by more bytes makes no difference.
  return true;
}

bool EncodeBcf(const CharacterFile& record, uint8_t* out, size_t capacity, size_t* size,
               FileError* error) {
  if (record.entryCount > kMaxEntries) {
    return Fail(error, ErrorCode::kTooManyEntries);
  }
  BcfSink sink(out, capacity);
  sink.WriteInteger(record.leadingValue1);
  sink.WriteInteger(record.leadingValue2);
  sink.WriteText(record.name);
  sink.WriteInteger(record.nameValue1);
  sink.WriteInteger(record.nameValue2);
  sink.WriteInteger(record.entryCount);
  for (int i = 0; i < EntriesInUse(record); ++i) {
    const CharacterEntry& entry = record.entries[i];
    sink.WriteText(entry.text1);
    sink.WriteText(entry.text2);
    sink.WriteInteger(entry.value1);
    sink.WriteInteger(entry.value2);
  }
  sink.WriteInteger(0);  // trailer
  if (sink.problem() != ErrorCode::kNone) {
    return Fail(error, sink.problem());
  }
  *size = sink.size();
  return true;
}

bool CharacterFile::ReadBcf(const char* path, FileError* error) {
  uint8_t data[kMaxBcfSize];
  size_t size = 0;
  return ReadFilePrefix(path, data, sizeof data, &size, error) &&
         DecodeBcf(data, size, this, error);
}

bool CharacterFile::WriteBcf(const char* path, FileError* error) const {
  uint8_t data[kMaxBcfSize];
  size_t size = 0;
  return EncodeBcf(*this, data, sizeof data, &size, error) &&
         ReplaceFileContents(path, data, size, error);
}

}  // namespace charfile
