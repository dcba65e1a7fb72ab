#include "charfile/record_limits.h"

namespace charfile {

bool CheckRecordLimits(const CharacterFile& record, FileError* error) {
  if (record.entryCount > kMaxEntries) {
    return Fail(error, ErrorCode::kTooManyEntries);
  }
  if (TextLength(record.name) > static_cast<size_t>(kMaxTextLength)) {
    return Fail(error, ErrorCode::kRecordInvalid);
  }
  for (int i = 0; i < EntriesInUse(record); ++i) {
    const CharacterEntry& entry = record.entries[i];
    if (TextLength(entry.text1) > static_cast<size_t>(kMaxTextLength) ||
        TextLength(entry.text2) > static_cast<size_t>(kMaxTextLength)) {
      return Fail(error, ErrorCode::kRecordInvalid);
    }
  }
  return true;
}

}  // namespace charfile
