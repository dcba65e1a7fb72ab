// Checks shared by the fuzz targets: they abort on any broken property so
// that the fuzzer, or a replay under CTest, reports it.
#ifndef CHARFLIP_FUZZ_FUZZ_CHECKS_H
#define CHARFLIP_FUZZ_FUZZ_CHECKS_H

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "charfile/character_file.h"

namespace charflip_fuzz {

inline void Check(bool holds, const char* what) {
  if (!holds) {
    std::fprintf(stderr, "property broken: %s\n", what);
    std::abort();
  }
}

// The values the encodings carry are equal: five numbers, the name and the
// entries in use.
inline bool SameRecord(const charfile::CharacterFile& a, const charfile::CharacterFile& b) {
  if (a.leadingValue1 != b.leadingValue1 || a.leadingValue2 != b.leadingValue2 ||
      a.nameValue1 != b.nameValue1 || a.nameValue2 != b.nameValue2 ||
      a.entryCount != b.entryCount || std::strcmp(a.name, b.name) != 0) {
    return false;
  }
  for (int i = 0; i < a.entryCount && i < charfile::kMaxEntries; ++i) {
    const charfile::CharacterEntry& x = a.entries[i];
    const charfile::CharacterEntry& y = b.entries[i];
    if (std::strcmp(x.text1, y.text1) != 0 || std::strcmp(x.text2, y.text2) != 0 ||
        x.value1 != y.value1 || x.value2 != y.value2) {
      return false;
    }
  }
  return true;
}

// A refusal names its reason and a place inside (or just past) the input.
inline void CheckRefusal(const charfile::FileError& error, charfile::ErrorPlace place, long limit) {
  Check(error.code != charfile::ErrorCode::kNone && error.code != charfile::ErrorCode::kSystem,
        "refusal without a reason");
  Check(error.place == place, "refusal without its place");
  Check(error.position >= 0 && error.position <= limit, "refusal placed outside the input");
}

// Whether the name or a text of an entry in use holds a CR or LF byte,
// which the text form cannot carry.
inline bool HoldsLineBreak(const charfile::CharacterFile& record) {
  auto breaks = [](const char* text) { return std::strpbrk(text, "\r\n") != nullptr; };
  bool found = breaks(record.name);
  for (int i = 0; i < record.entryCount && i < charfile::kMaxEntries; ++i) {
    found = found || breaks(record.entries[i].text1) || breaks(record.entries[i].text2);
  }
  return found;
}

// Writes `record` in both forms and reads each back: both must give the
// same record again. Returns the binary form's size through `bcfSize`.
inline void CheckBothForms(const charfile::CharacterFile& record, uint8_t* bcf, size_t* bcfSize) {
  charfile::FileError error;
  Check(charfile::EncodeBcf(record, bcf, charfile::kMaxBcfSize, bcfSize, &error),
        "an accepted record cannot be written in binary");
  charfile::CharacterFile fromBinary;
  std::memset(&fromBinary, 0x5A, sizeof fromBinary);
  Check(charfile::DecodeBcf(bcf, *bcfSize, &fromBinary, &error), "written binary form is refused");
  Check(SameRecord(record, fromBinary), "binary round trip changed the record");

  static char cmx[charfile::kMaxCmxSize];
  size_t cmxSize = 0;
  const bool written = charfile::EncodeCmx(record, cmx, sizeof cmx, &cmxSize, &error);
  Check(written != HoldsLineBreak(record), "text form refused exactly when a text breaks its line");
  if (!written) {
    Check(error.code == charfile::ErrorCode::kLineBreakInText &&
              error.place == charfile::ErrorPlace::kLine,
          "text form refused for a reason other than a line break");
    return;
  }
  charfile::CharacterFile fromText;
  std::memset(&fromText, 0xA5, sizeof fromText);
  Check(charfile::DecodeCmx(cmx, cmxSize, &fromText, &error), "written text form is refused");
  Check(SameRecord(record, fromText), "text round trip changed the record");
}

}  // namespace charflip_fuzz

#endif  // CHARFLIP_FUZZ_FUZZ_CHECKS_H
