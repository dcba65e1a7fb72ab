// The binary form: what the reader tolerates, where it stops, and the file
// operations around it.
#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <ostream>
#include <string>

#include "charfile/character_file.h"
#include "test_support.h"

namespace {

using charfile::CharacterFile;
using charfile::ErrorCode;
using charfile::ErrorPlace;
using charfile::FileError;
using charflip_test::DataPath;
using charflip_test::ExpectSameRecord;
using charflip_test::FilledRecord;
using charflip_test::ReadFileBytes;
using charflip_test::ScratchFolder;

bool Decode(const std::string& bytes, CharacterFile* record, FileError* error) {
  return charfile::DecodeBcf(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size(), record,
                             error);
}

std::string WorkedExample() { return ReadFileBytes(DataPath("worked_example.bcf")); }

// Every cut of a valid file short of its trailer is refused; every cut
// inside the trailer reads as the whole file.
TEST(BcfReader, EveryCutBeforeTheTrailerIsRefused) {
  const std::string whole = WorkedExample();
  const size_t trailerStart = whole.size() - 4;
  CharacterFile expected = FilledRecord();
  FileError error;
  ASSERT_TRUE(Decode(whole, &expected, &error));
  for (size_t size = 0; size <= whole.size(); ++size) {
    SCOPED_TRACE("size " + std::to_string(size));
    CharacterFile record = FilledRecord();
    const bool accepted = Decode(whole.substr(0, size), &record, &error);
    EXPECT_EQ(accepted, size >= trailerStart);
    if (accepted) {
      ExpectSameRecord(expected, record);
    } else {
      EXPECT_EQ(error.code, ErrorCode::kEndsEarly);
      EXPECT_LE(error.position, static_cast<long>(size));
    }
  }
}

TEST(BcfReader, IgnoresTheTrailerAndWhatFollowsIt) {
  std::string input = WorkedExample();
  const std::string otherTrailer = "\xEF\xBE\xAD\xDE";
  input.replace(input.size() - 4, 4, otherTrailer + "and more bytes");
  CharacterFile record = FilledRecord();
  FileError error;
  ASSERT_TRUE(Decode(input, &record, &error));

  uint8_t out[charfile::kMaxBcfSize];
  size_t size = 0;
  ASSERT_TRUE(charfile::EncodeBcf(record, out, sizeof out, &size, &error));
  EXPECT_EQ(std::string(reinterpret_cast<char*>(out), size), WorkedExample());
}

TEST(BcfReader, NulInsideATextEndsItAndKeepsTheLayout) {
  std::string input = WorkedExample();
  const char nameWithNul[] = {3, 'a', '\0', 'b'};  // for the name "ab"
  input.replace(8, 3, nameWithNul, sizeof nameWithNul);
  CharacterFile record = FilledRecord();
  FileError error;
  ASSERT_TRUE(Decode(input, &record, &error));
  EXPECT_STREQ(record.name, "a");
  EXPECT_EQ(record.entryCount, 1);
  EXPECT_STREQ(record.entries[0].text2, "YZ");
}

TEST(BcfReader, LeavesEntriesPastTheCountAlone) {
  CharacterFile record = FilledRecord(0x5A);
  FileError error;
  ASSERT_TRUE(Decode(WorkedExample(), &record, &error));
  const CharacterFile untouched = FilledRecord(0x5A);
  EXPECT_EQ(std::memcmp(&record.entries[1], &untouched.entries[1],
                        sizeof record.entries - sizeof record.entries[0]),
            0);
}

TEST(BcfWriter, RefusesARecordThatBreaksItsLimits) {
  CharacterFile record = FilledRecord();
  FileError error;
  ASSERT_TRUE(Decode(WorkedExample(), &record, &error));
  uint8_t out[charfile::kMaxBcfSize];
  size_t size = 0;

  CharacterFile tooMany = record;
  tooMany.entryCount = charfile::kMaxEntries + 1;
  EXPECT_FALSE(charfile::EncodeBcf(tooMany, out, sizeof out, &size, &error));
  EXPECT_EQ(error.code, ErrorCode::kTooManyEntries);

  CharacterFile unterminated = record;
  std::memset(unterminated.entries[0].text2, 'x', charfile::kTextSize);
  EXPECT_FALSE(charfile::EncodeBcf(unterminated, out, sizeof out, &size, &error));
  EXPECT_EQ(error.code, ErrorCode::kRecordInvalid);

  EXPECT_FALSE(charfile::EncodeBcf(record, out, 39, &size, &error));
  EXPECT_EQ(error.code, ErrorCode::kOutputTooLarge);
}

TEST(BcfFile, ReadsOnlyWhatTheRecordNeedsOfALargeFile) {
  ScratchFolder folder;
  std::string input = WorkedExample() + std::string(100000, '\x7F');
  charflip_test::WriteFileBytes(folder / "large.bcf", input);
  CharacterFile record = FilledRecord();
  FileError error;
  EXPECT_TRUE(record.ReadBcf((folder / "large.bcf").c_str(), &error));
  EXPECT_STREQ(record.entries[0].text2, "YZ");
}

TEST(BcfFile, MissingFileLeavesTheRecordUntouched) {
  ScratchFolder folder;
  CharacterFile record = FilledRecord();
  FileError error;
  EXPECT_FALSE(record.ReadBcf((folder / "missing.bcf").c_str(), &error));
  EXPECT_EQ(error.code, ErrorCode::kSystem);
  EXPECT_EQ(error.systemError, ENOENT);
  const CharacterFile untouched = FilledRecord();
  EXPECT_EQ(std::memcmp(&record, &untouched, sizeof record), 0);
}

TEST(BcfFile, WritesExactlyTheEncodedBytesAndNothingElse) {
  ScratchFolder folder;
  CharacterFile record = FilledRecord();
  FileError error;
  ASSERT_TRUE(Decode(WorkedExample(), &record, &error));
  const std::string output = folder / "out.bcf";
  charflip_test::WriteFileBytes(output, std::string(5000, 'o'));  // longer than the new contents
  ASSERT_TRUE(record.WriteBcf(output.c_str(), &error));
  EXPECT_EQ(ReadFileBytes(output), WorkedExample());
  EXPECT_EQ(folder.List(), std::vector<std::string>{"out.bcf"});
}

}  // namespace
