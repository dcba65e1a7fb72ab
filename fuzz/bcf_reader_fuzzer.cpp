// Fuzzes the binary reader. When it accepts an input, the record must come
// back unchanged through both forms, and a canonical input (no NUL inside a
// text) must be reproduced byte for byte up to its trailer.
#include <cstdint>
#include <cstring>

#include "charfile/character_file.h"
#include "fuzz_checks.h"

namespace {

using charflip_fuzz::Check;

// Walks the accepted input by its own length bytes and tells whether each
// text came through whole, i.e. held no NUL.
bool TextsCameThroughWhole(const uint8_t* data, const charfile::CharacterFile& record) {
  size_t offset = 8;
  auto whole = [&](const char* field) {
    const size_t length = data[offset];
    offset += 1 + length;
    return std::strlen(field) == length;
  };
  bool allWhole = whole(record.name);
  offset += 12;
  for (int i = 0; i < record.entryCount; ++i) {
    allWhole = whole(record.entries[i].text1) && allWhole;
    allWhole = whole(record.entries[i].text2) && allWhole;
    offset += 8;
  }
  return allWhole;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  charfile::CharacterFile record;
  std::memset(&record, 0xC3, sizeof record);
  charfile::FileError error;
  if (!charfile::DecodeBcf(data, size, &record, &error)) {
    charflip_fuzz::CheckRefusal(error, charfile::ErrorPlace::kByteOffset, static_cast<long>(size));
    return 0;
  }
  Check(record.entryCount <= charfile::kMaxEntries, "accepted more entries than fit");

  static uint8_t bcf[charfile::kMaxBcfSize];
  size_t bcfSize = 0;
  charflip_fuzz::CheckBothForms(record, bcf, &bcfSize);

  const size_t withoutTrailer = bcfSize - 4;
  if (TextsCameThroughWhole(data, record)) {
    Check(size >= withoutTrailer && std::memcmp(data, bcf, withoutTrailer) == 0,
          "canonical input not reproduced byte for byte");
  }
  return 0;
}
