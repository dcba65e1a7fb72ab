// Fuzzes the text reader. When it accepts an input, the record must come
// back unchanged through both forms; and reading the input in two pieces,
// split anywhere, must give the same outcome as reading it whole.
#include <cstdint>
#include <cstring>

#include "charfile/character_file.h"
#include "charfile/cmx_parser.h"
#include "fuzz_checks.h"

namespace {

using charflip_fuzz::Check;

void CheckSplitReadsTheSame(const char* text, size_t size, bool accepted,
                            const charfile::CharacterFile& whole,
                            const charfile::FileError& wholeError) {
  const size_t split =
      size == 0 ? 0 : size_t{static_cast<unsigned char>(text[0])} * 131 % (size + 1);
  charfile::CharacterFile record;
  std::memset(&record, 0x3C, sizeof record);
  charfile::FileError error;
  charfile::CmxParser parser(record);
  const bool splitAccepted = parser.Feed(text, split, &error) &&
                             parser.Feed(text + split, size - split, &error) &&
                             parser.Finish(&error);
  Check(splitAccepted == accepted, "split input read differently");
  if (accepted) {
    Check(charflip_fuzz::SameRecord(whole, record), "split input gave another record");
  } else {
    Check(error.code == wholeError.code && error.position == wholeError.position,
          "split input refused differently");
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const auto* text = reinterpret_cast<const char*>(data);
  charfile::CharacterFile record;
  std::memset(&record, 0xC3, sizeof record);
  charfile::FileError error;
  const bool accepted = charfile::DecodeCmx(text, size, &record, &error);
  CheckSplitReadsTheSame(text, size, accepted, record, error);
  if (!accepted) {
    // A line number, at most one past the number of line feeds.
    charflip_fuzz::CheckRefusal(error, charfile::ErrorPlace::kLine, static_cast<long>(size) + 1);
    return 0;
  }
  Check(record.entryCount <= charfile::kMaxEntries, "accepted more entries than fit");

  static uint8_t bcf[charfile::kMaxBcfSize];
  size_t bcfSize = 0;
  charflip_fuzz::CheckBothForms(record, bcf, &bcfSize);
  return 0;
}
