// Both encodings against byte-exact files made independently of the code:
// each binary file must decode to the record whose text form is its
// partner, and back again, to the byte.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <random>
#include <string>

#include "charfile/character_file.h"
#include "test_support.h"

namespace {

using charfile::CharacterFile;
using charfile::FileError;
using charflip_test::DataPath;
using charflip_test::ExpectSameRecord;
using charflip_test::FilledRecord;
using charflip_test::ReadFileBytes;

std::string EncodeBcfToString(const CharacterFile& record) {
  uint8_t out[charfile::kMaxBcfSize];
  size_t size = 0;
  FileError error;
  EXPECT_TRUE(charfile::EncodeBcf(record, out, sizeof out, &size, &error))
      << charfile::ErrorName(error.code);
  return std::string(reinterpret_cast<const char*>(out), size);
}

std::string EncodeCmxToString(const CharacterFile& record) {
  char out[charfile::kMaxCmxSize];
  size_t size = 0;
  FileError error;
  EXPECT_TRUE(charfile::EncodeCmx(record, out, sizeof out, &size, &error))
      << charfile::ErrorName(error.code);
  return std::string(out, size);
}

bool DecodeBcfString(const std::string& bytes, CharacterFile* record) {
  FileError error;
  const bool accepted = charfile::DecodeBcf(reinterpret_cast<const uint8_t*>(bytes.data()),
                                            bytes.size(), record, &error);
  EXPECT_TRUE(accepted) << charfile::ErrorName(error.code) << " at " << error.position;
  return accepted;
}

bool DecodeCmxString(const std::string& text, CharacterFile* record) {
  FileError error;
  const bool accepted = charfile::DecodeCmx(text.data(), text.size(), record, &error);
  EXPECT_TRUE(accepted) << charfile::ErrorName(error.code) << " at " << error.position;
  return accepted;
}

class GoldenPair : public testing::TestWithParam<const char*> {};

TEST_P(GoldenPair, BinaryAndTextFormsConvertIntoEachOtherExactly) {
  const std::string bcf = ReadFileBytes(DataPath(std::string(GetParam()) + ".bcf"));
  const std::string cmx = ReadFileBytes(DataPath(std::string(GetParam()) + ".cmx"));

  CharacterFile fromBinary = FilledRecord();
  ASSERT_TRUE(DecodeBcfString(bcf, &fromBinary));
  EXPECT_EQ(EncodeCmxToString(fromBinary), cmx);
  EXPECT_EQ(EncodeBcfToString(fromBinary), bcf);

  CharacterFile fromText = FilledRecord(0x5A);
  ASSERT_TRUE(DecodeCmxString(cmx, &fromText));
  ExpectSameRecord(fromBinary, fromText);
  EXPECT_EQ(EncodeBcfToString(fromText), bcf);
  EXPECT_EQ(EncodeCmxToString(fromText), cmx);
}

static const char* const kGoldenPairs[] = {"worked_example", "extremes", "negative_count"};
INSTANTIATE_TEST_SUITE_P(Files, GoldenPair, testing::ValuesIn(kGoldenPairs));

// The pairs above could agree with each other and still be wrong together;
// this pins the worked example's values.
TEST(GoldenFiles, WorkedExampleHoldsItsValues) {
  CharacterFile record = FilledRecord();
  ASSERT_TRUE(DecodeBcfString(ReadFileBytes(DataPath("worked_example.bcf")), &record));
  EXPECT_EQ(record.leadingValue1, 0);
  EXPECT_EQ(record.leadingValue2, 1);
  EXPECT_STREQ(record.name, "ab");
  EXPECT_EQ(record.nameValue1, 0);
  EXPECT_EQ(record.nameValue2, 0);
  ASSERT_EQ(record.entryCount, 1);
  EXPECT_STREQ(record.entries[0].text1, "X");
  EXPECT_STREQ(record.entries[0].text2, "YZ");
  EXPECT_EQ(record.entries[0].value1, 8);
  EXPECT_EQ(record.entries[0].value2, 0);
}

// Random records within the limits, every byte value but NUL in binary
// texts and every byte but NUL, CR and LF in texts for the text form.
CharacterFile RandomRecord(std::mt19937& random, bool forText) {
  std::uniform_int_distribution<int> byteValue(1, 255);
  std::uniform_int_distribution<int> length(0, charfile::kMaxTextLength);
  std::uniform_int_distribution<int32_t> integer(INT32_MIN, INT32_MAX);
  auto fillText = [&](char* field) {
    const int n = length(random);
    for (int i = 0; i < n; ++i) {
      int byte = byteValue(random);
      while (forText && (byte == '\r' || byte == '\n')) {
        byte = byteValue(random);
      }
      field[i] = static_cast<char>(byte);
    }
    field[n] = '\0';
  };
  CharacterFile record = FilledRecord();
  record.leadingValue1 = integer(random);
  record.leadingValue2 = integer(random);
  record.nameValue1 = integer(random);
  record.nameValue2 = integer(random);
  record.entryCount = std::uniform_int_distribution<int32_t>(-3, charfile::kMaxEntries)(random);
  fillText(record.name);
  for (auto& entry : record.entries) {
    fillText(entry.text1);
    fillText(entry.text2);
    entry.value1 = integer(random);
    entry.value2 = integer(random);
  }
  return record;
}

TEST(RoundTrip, RandomRecordsComeBackFromBothForms) {
  std::mt19937 random(20261211);
  for (int round = 0; round < 300; ++round) {
    SCOPED_TRACE("round " + std::to_string(round));
    const CharacterFile original = RandomRecord(random, round % 2 == 1);

    const std::string bcf = EncodeBcfToString(original);
    CharacterFile fromBinary = FilledRecord();
    ASSERT_TRUE(DecodeBcfString(bcf, &fromBinary));
    ExpectSameRecord(original, fromBinary);
    EXPECT_EQ(EncodeBcfToString(fromBinary), bcf);

    if (round % 2 == 1) {
      const std::string cmx = EncodeCmxToString(original);
      CharacterFile fromText = FilledRecord();
      ASSERT_TRUE(DecodeCmxString(cmx, &fromText));
      ExpectSameRecord(original, fromText);
      EXPECT_EQ(EncodeCmxToString(fromText), cmx);
    }
  }
}

// The buffers the file operations use are sized for the largest record.
TEST(RoundTrip, LargestRecordFillsTheBuffersExactly) {
  CharacterFile record = FilledRecord();
  record.leadingValue1 = record.leadingValue2 = INT32_MIN;
  record.nameValue1 = record.nameValue2 = INT32_MIN;
  record.entryCount = charfile::kMaxEntries;
  std::string longest(charfile::kMaxTextLength, 'w');
  std::strcpy(record.name, longest.c_str());
  for (auto& entry : record.entries) {
    std::strcpy(entry.text1, longest.c_str());
    std::strcpy(entry.text2, longest.c_str());
    entry.value1 = entry.value2 = INT32_MIN;
  }
  EXPECT_EQ(EncodeBcfToString(record).size(), charfile::kMaxBcfSize);
  // The count line is "30", not an eleven-byte number, hence the 9.
  EXPECT_EQ(EncodeCmxToString(record).size(), charfile::kMaxCmxSize - 9);
}

}  // namespace
