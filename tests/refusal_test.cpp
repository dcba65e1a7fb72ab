// Files that the readers refuse, one fixture each: the reason, and the byte
// offset (binary form) or line (text form) where it lies.
#include <gtest/gtest.h>

#include <ostream>
#include <string>

#include "charfile/character_file.h"
#include "test_support.h"

namespace {

using charfile::CharacterFile;
using charfile::ErrorCode;
using charfile::ErrorPlace;
using charfile::FileError;

struct Refusal {
  const char* file;  // under tests/data; its extension picks the reader
  ErrorCode code;
  ErrorPlace place;
  long position;
};

void PrintTo(const Refusal& c, std::ostream* os) { *os << c.file; }

bool Read(const std::string& name, CharacterFile* record, FileError* error) {
  const std::string bytes = charflip_test::ReadFileBytes(charflip_test::DataPath(name));
  if (name.substr(name.size() - 4) == ".bcf") {
    return charfile::DecodeBcf(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size(), record,
                               error);
  }
  return charfile::DecodeCmx(bytes.data(), bytes.size(), record, error);
}

class ReaderRefusal : public testing::TestWithParam<Refusal> {};

TEST_P(ReaderRefusal, SaysWhyAndWhere) {
  const Refusal& refusal = GetParam();
  CharacterFile record = charflip_test::FilledRecord();
  FileError error;
  EXPECT_FALSE(Read(refusal.file, &record, &error));
  EXPECT_STREQ(charfile::ErrorName(error.code), charfile::ErrorName(refusal.code));
  EXPECT_EQ(error.place, refusal.place);
  EXPECT_EQ(error.position, refusal.position);
}

constexpr ErrorPlace kByte = ErrorPlace::kByteOffset;
constexpr ErrorPlace kLine = ErrorPlace::kLine;

static const Refusal kRefusals[] = {
    {"refused/empty.bcf", ErrorCode::kEndsEarly, kByte, 0},
    {"refused/ends_in_count.bcf", ErrorCode::kEndsEarly, kByte, 19},
    {"refused/ends_in_entry_text.bcf", ErrorCode::kEndsEarly, kByte, 23},
    {"refused/ends_in_last_value.bcf", ErrorCode::kEndsEarly, kByte, 32},
    {"refused/name_length_100.bcf", ErrorCode::kTextTooLong, kByte, 8},
    {"refused/entry_length_255.bcf", ErrorCode::kTextTooLong, kByte, 25},
    {"refused/count_31.bcf", ErrorCode::kTooManyEntries, kByte, 19},
    {"refused/empty.cmx", ErrorCode::kEndsEarly, kLine, 1},
    {"refused/ends_before_count.cmx", ErrorCode::kEndsEarly, kLine, 8},
    {"refused/ends_before_last_value.cmx", ErrorCode::kEndsEarly, kLine, 12},
    {"refused/name_line_100.cmx", ErrorCode::kLineTooLong, kLine, 5},
    {"refused/entry_line_100.cmx", ErrorCode::kLineTooLong, kLine, 10},
    {"refused/count_31.cmx", ErrorCode::kTooManyEntries, kLine, 8},
};
INSTANTIATE_TEST_SUITE_P(Files, ReaderRefusal, testing::ValuesIn(kRefusals),
                         charflip_test::NameByFile());

}  // namespace
