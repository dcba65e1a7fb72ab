#include "charfile/cmx_parser.h"

#include <cstring>

#include "charfile/record_limits.h"

namespace charfile {
namespace {

constexpr long kCountLine = 8;
constexpr long kFirstEntryLine = 9;
constexpr long kLinesPerEntry = 4;

bool IsSpace(unsigned char byte) {
  return byte == ' ' || (byte >= '\t' && byte <= '\r');  // \t \n \v \f \r
}

}  // namespace

CmxParser::CmxParser(CharacterFile& record) : record_(record) { BeginLine(); }

long CmxParser::LastValueLine() const {
  return countKnown_ ? kCountLine + kLinesPerEntry * EntriesInUse(record_) : kCountLine;
}

// Points the line about to start at the field it fills, if any.
void CmxParser::BeginLine() {
  number_ = nullptr;
  text_ = nullptr;
  textLength_ = 0;
  textClosed_ = false;
  phase_ = NumberPhase::kLeadingSpace;
  negative_ = false;
  magnitude_ = 0;

  switch (line_) {
    case 3: number_ = &record_.leadingValue1; return;
    case 4: number_ = &record_.leadingValue2; return;
    case 5: text_ = record_.name; return;
    case 6: number_ = &record_.nameValue1; return;
    case 7: number_ = &record_.nameValue2; return;
    case kCountLine: number_ = &record_.entryCount; return;
    default: break;
  }
  if (line_ < kFirstEntryLine || line_ > LastValueLine()) {
    return;  // the comment, the version, the trailer and what follows it
  }
  const long index = line_ - kFirstEntryLine;
  CharacterEntry& entry = record_.entries[index / kLinesPerEntry];
  switch (index % kLinesPerEntry) {
    case 0: text_ = entry.text1; break;
    case 1: text_ = entry.text2; break;
    case 2: number_ = &entry.value1; break;
    default: number_ = &entry.value2; break;
  }
}

bool CmxParser::Feed(const char* data, size_t size, FileError* error) {
  if (refused_) {
    return false;
  }
  const char* const end = data + size;
  while (data < end && !done_) {
    const auto* lineFeed =
        static_cast<const char*>(std::memchr(data, '\n', static_cast<size_t>(end - data)));
    const size_t length = static_cast<size_t>((lineFeed != nullptr ? lineFeed : end) - data);
    lineStarted_ = true;
    if (text_ != nullptr && !TakeText(data, length, error)) {
      return false;
    }
    if (number_ != nullptr) {
      TakeNumber(data, length);
    }
    if (lineFeed == nullptr) {
      break;
    }
    data = lineFeed + 1;
    if (!EndLine(error)) {
      return false;
    }
  }
  return true;
}

bool CmxParser::TakeText(const char* data, size_t size, FileError* error) {
  if (textClosed_) {
    return true;
  }
  const auto* carriageReturn = static_cast<const char*>(std::memchr(data, '\r', size));
  const size_t kept = carriageReturn != nullptr ? static_cast<size_t>(carriageReturn - data) : size;
  if (kept > static_cast<size_t>(kMaxTextLength) - textLength_) {
    return Refuse(error, ErrorCode::kLineTooLong, line_);
  }
  std::memcpy(text_ + textLength_, data, kept);
  textLength_ += kept;
  textClosed_ = carriageReturn != nullptr;
  return true;
}

void CmxParser::TakeNumber(const char* data, size_t size) {
  const char* next = data;
  const char* const end = data + size;
  if (phase_ == NumberPhase::kLeadingSpace) {
    while (next < end && IsSpace(static_cast<unsigned char>(*next))) {
      ++next;
    }
    if (next == end) {
      return;  // the number may start in the next piece
    }
    phase_ = NumberPhase::kDigits;
    if (*next == '-' || *next == '+') {
      negative_ = *next == '-';
      ++next;
    }
  }
  if (phase_ == NumberPhase::kDigits) {
    uint32_t magnitude = magnitude_;  // a local, kept in a register
    for (; next < end && *next >= '0' && *next <= '9'; ++next) {
      magnitude = magnitude * 10u + static_cast<uint32_t>(*next - '0');
    }
    magnitude_ = magnitude;
    if (next < end) {
      phase_ = NumberPhase::kAfter;  // the rest of the line is ignored
    }
  }
}

bool CmxParser::EndLine(FileError* error) {
  if (text_ != nullptr) {
    text_[textLength_] = '\0';
  } else if (number_ != nullptr) {
    *number_ = static_cast<int32_t>(negative_ ? 0u - magnitude_ : magnitude_);
  }
  if (line_ == kCountLine) {
    if (record_.entryCount > kMaxEntries) {
      return Refuse(error, ErrorCode::kTooManyEntries, line_);
    }
    countKnown_ = true;
  } else if (countKnown_ && line_ == LastValueLine() + 1) {
    done_ = true;  // the trailer
  }
  ++line_;
  lineStarted_ = false;
  BeginLine();
  return true;
}

bool CmxParser::Finish(FileError* error) {
  if (refused_) {
    return false;
  }
  if (lineStarted_ && !done_ && !EndLine(error)) {
    return false;
  }
  if (line_ - 1 < LastValueLine()) {
    return Refuse(error, ErrorCode::kEndsEarly, line_);
  }
  return true;
}

bool CmxParser::Refuse(FileError* error, ErrorCode code, long line) {
  refused_ = true;
  return Fail(error, code, ErrorPlace::kLine, line);
}

}  // namespace charfile
