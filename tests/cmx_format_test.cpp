// The text form: how each line is read, what the reader refuses, and what
// the writer will not write.
#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <ostream>
#include <string>
#include <vector>

#include "charfile/character_file.h"
#include "charfile/cmx_parser.h"
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

std::string WorkedExample() { return ReadFileBytes(DataPath("worked_example.cmx")); }

std::vector<std::string> SplitLines(const std::string& text) {
  std::vector<std::string> lines;
  size_t start = 0;
  for (size_t end; (end = text.find("\r\n", start)) != std::string::npos; start = end + 2) {
    lines.push_back(text.substr(start, end - start));
  }
  return lines;
}

std::string JoinLines(const std::vector<std::string>& lines, const char* lineEnd) {
  std::string text;
  for (const std::string& line : lines) {
    text += line + lineEnd;
  }
  return text;
}

// The worked example with line `number` (from 1) replaced.
std::string WorkedExampleWithLine(int number, const std::string& line) {
  std::vector<std::string> lines = SplitLines(WorkedExample());
  lines.at(static_cast<size_t>(number - 1)) = line;
  return JoinLines(lines, "\r\n");
}

bool Decode(const std::string& text, CharacterFile* record, FileError* error) {
  return charfile::DecodeCmx(text.data(), text.size(), record, error);
}

// ---- How single lines read -------------------------------------------------

struct LineCase {
  const char* label;
  int line;  // of the worked example: 3 is a number, 5 the name
  std::string content;
  int32_t number;    // expected on line 3
  const char* text;  // expected on line 5
};

void PrintTo(const LineCase& c, std::ostream* os) { *os << c.label; }

class CmxLine : public testing::TestWithParam<LineCase> {};

TEST_P(CmxLine, ReadsAsExpected) {
  const LineCase& c = GetParam();
  CharacterFile record = FilledRecord();
  FileError error;
  ASSERT_TRUE(Decode(WorkedExampleWithLine(c.line, c.content), &record, &error))
      << charfile::ErrorName(error.code);
  if (c.line == 3) {
    EXPECT_EQ(record.leadingValue1, c.number);
  } else {
    EXPECT_STREQ(record.name, c.text);
  }
  EXPECT_STREQ(record.entries[0].text2, "YZ");  // nothing shifted
}

static const LineCase kLineCases[] = {
    {"plain", 3, "42", 42, nullptr},
    {"space_minus_letters", 3, " -12abc", -12, nullptr},
    {"plus", 3, "+7", 7, nullptr},
    {"letters_only", 3, "abc", 0, nullptr},
    {"empty", 3, "", 0, nullptr},
    {"sign_alone", 3, "-", 0, nullptr},
    {"space_after_sign", 3, "- 5", 0, nullptr},
    {"tabs_and_form_feeds", 3, "\t\v\f 9 8", 9, nullptr},
    {"int_min", 3, "-2147483648", INT32_MIN, nullptr},
    {"int_max_plus_one_wraps", 3, "2147483648", INT32_MIN, nullptr},
    {"two_to_32_plus_one_wraps", 3, "4294967297", 1, nullptr},
    {"leading_zeros", 3, "-0007", -7, nullptr},
    {"nul_ends_number", 3, std::string{'1', '2', '\0', '3', '4'}, 12, nullptr},
    {"very_long_number_line", 3, std::string(20000, ' ') + "5" + std::string(20000, 'x'), 5,
     nullptr},
    {"empty_name", 5, "", 0, ""},
    {"spaces_kept", 5, "  a b  ", 0, "  a b  "},
    {"cr_cuts_text", 5, "abc\rdef", 0, "abc"},
    {"cr_then_long_tail", 5, "abc\r" + std::string(300, 't'), 0, "abc"},
    {"nul_ends_text", 5, std::string("a\0b", 3), 0, "a"},
    {"ninety_nine_bytes", 5, std::string(99, 'n'), 0,
     "nnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnn"
     "nnnnnn"},
};
INSTANTIATE_TEST_SUITE_P(Lines, CmxLine, testing::ValuesIn(kLineCases),
                         charflip_test::NameByLabel());

// ---- Whole files that read like the worked example ---------------------------

struct FileVariant {
  const char* label;
  std::string text;
};

void PrintTo(const FileVariant& c, std::ostream* os) { *os << c.label; }

class CmxVariant : public testing::TestWithParam<FileVariant> {};

TEST_P(CmxVariant, ReadsLikeTheWorkedExample) {
  CharacterFile expected = FilledRecord();
  CharacterFile record = FilledRecord();
  FileError error;
  ASSERT_TRUE(Decode(WorkedExample(), &expected, &error));
  ASSERT_TRUE(Decode(GetParam().text, &record, &error)) << charfile::ErrorName(error.code);
  ExpectSameRecord(expected, record);
}

std::string WithoutLastLines(int count, const char* lineEnd = "\r\n") {
  std::vector<std::string> lines = SplitLines(WorkedExample());
  lines.resize(lines.size() - static_cast<size_t>(count));
  return JoinLines(lines, lineEnd);
}

static const FileVariant kVariants[] = {
    {"lf_line_ends", JoinLines(SplitLines(WorkedExample()), "\n")},
    {"mixed_line_ends", WithoutLastLines(5) + "X\nYZ\r\n8\n0\r\n0"},
    {"no_trailer", WithoutLastLines(1)},
    {"no_trailer_no_last_lf", WithoutLastLines(1).substr(0, WithoutLastLines(1).size() - 2)},
    {"trailer_without_lf", WithoutLastLines(1) + "0"},
    {"other_trailer_and_more_lines", WithoutLastLines(1) + "77\r\nmore\r\nlines\r\n"},
    {"any_first_lines", WorkedExampleWithLine(1, "").replace(2, 11, "version 1")},
    {"long_first_lines", WorkedExampleWithLine(1, std::string(50000, '/'))},
};
INSTANTIATE_TEST_SUITE_P(Files, CmxVariant, testing::ValuesIn(kVariants),
                         charflip_test::NameByLabel());

// ---- Reading in pieces ------------------------------------------------------

// Fed in two pieces split anywhere, or a byte at a time, a file reads as it
// does whole: refused the same way or accepted with the same record.
TEST(CmxParser, ReadsTheSameWhereverThePiecesSplit) {
  const std::string inputs[] = {
      WorkedExample(),
      ReadFileBytes(DataPath("extremes.cmx")),
      WorkedExampleWithLine(3, "  -12x\r\r"),
      WorkedExampleWithLine(5, "abc\rdef"),
      ReadFileBytes(DataPath("refused/name_line_100.cmx")),
      ReadFileBytes(DataPath("refused/ends_before_last_value.cmx")),
  };
  for (const std::string& input : inputs) {
    CharacterFile whole = FilledRecord();
    FileError wholeError;
    const bool wholeAccepted = Decode(input, &whole, &wholeError);
    for (size_t split = 0; split <= input.size(); ++split) {
      SCOPED_TRACE("split at " + std::to_string(split));
      CharacterFile record = FilledRecord();
      FileError error;
      charfile::CmxParser parser(record);
      const bool accepted = parser.Feed(input.data(), split, &error) &&
                            parser.Feed(input.data() + split, input.size() - split, &error) &&
                            parser.Finish(&error);
      ASSERT_EQ(accepted, wholeAccepted);
      if (accepted) {
        ExpectSameRecord(whole, record);
      } else {
        EXPECT_EQ(error.code, wholeError.code);
        EXPECT_EQ(error.position, wholeError.position);
      }
    }
    CharacterFile record = FilledRecord();
    FileError error;
    charfile::CmxParser parser(record);
    bool accepted = true;
    for (size_t i = 0; i < input.size() && accepted; ++i) {
      accepted = parser.Feed(&input[i], 1, &error);
    }
    EXPECT_EQ(accepted && parser.Finish(&error), wholeAccepted);
  }
}

TEST(CmxFile, ReadsLinesThatCrossTheReadBuffer) {
  ScratchFolder folder;
  // A first line long enough that later lines straddle the reader's pieces.
  for (size_t firstLineLength : {16380u, 16383u, 16384u, 40000u}) {
    const std::string input = WorkedExampleWithLine(1, std::string(firstLineLength, 'c'));
    charflip_test::WriteFileBytes(folder / "long.cmx", input);
    CharacterFile expected = FilledRecord();
    CharacterFile record = FilledRecord();
    FileError error;
    ASSERT_TRUE(Decode(input, &expected, &error));
    ASSERT_TRUE(record.ReadCmx((folder / "long.cmx").c_str(), &error));
    ExpectSameRecord(expected, record);
  }
}

// ---- Writing ---------------------------------------------------------------

TEST(CmxWriter, RefusesLineBreaksInTextsInUseAndSaysOnWhichLine) {
  CharacterFile record = FilledRecord();
  FileError error;
  ASSERT_TRUE(Decode(WorkedExample(), &record, &error));
  char out[charfile::kMaxCmxSize];
  size_t size = 0;

  using Field = char* (*)(CharacterFile&);
  struct Case {
    Field field;
    const char* text;
    long line;
  };
  const Case cases[] = {
      {[](CharacterFile& r) { return r.name; }, "a\nb", 5},
      {[](CharacterFile& r) { return r.name; }, "trailing cr\r", 5},
      {[](CharacterFile& r) { return r.entries[0].text1; }, "\n", 9},
      {[](CharacterFile& r) { return r.entries[0].text2; }, "Y\rZ", 10},
  };
  for (const Case& c : cases) {
    CharacterFile broken = record;
    std::strcpy(c.field(broken), c.text);
    EXPECT_FALSE(charfile::EncodeCmx(broken, out, sizeof out, &size, &error)) << c.text;
    EXPECT_EQ(error.code, ErrorCode::kLineBreakInText);
    EXPECT_EQ(error.place, ErrorPlace::kLine);
    EXPECT_EQ(error.position, c.line);
  }

  // Entries past the count are not written, so what they hold is no matter.
  std::strcpy(record.entries[1].text1, "\r\n");
  EXPECT_TRUE(charfile::EncodeCmx(record, out, sizeof out, &size, &error));
}

TEST(CmxWriter, RefusedRecordCreatesNoFile) {
  ScratchFolder folder;
  CharacterFile record = FilledRecord();
  FileError error;
  ASSERT_TRUE(Decode(WorkedExample(), &record, &error));
  std::strcpy(record.name, "two\nlines");
  EXPECT_FALSE(record.WriteCmx((folder / "out.cmx").c_str(), &error));
  EXPECT_TRUE(folder.List().empty());
}

TEST(CmxWriter, TextsOfAnyAllowedLengthComeBack) {
  CharacterFile record = FilledRecord();
  FileError error;
  ASSERT_TRUE(Decode(WorkedExample(), &record, &error));
  char out[charfile::kMaxCmxSize];
  for (size_t length : {0u, 97u, 98u, 99u}) {
    const std::string text(length, 'q');
    std::strcpy(record.name, text.c_str());
    std::strcpy(record.entries[0].text1, text.c_str());
    size_t size = 0;
    ASSERT_TRUE(charfile::EncodeCmx(record, out, sizeof out, &size, &error));
    CharacterFile back = FilledRecord();
    ASSERT_TRUE(charfile::DecodeCmx(out, size, &back, &error)) << length;
    ExpectSameRecord(record, back);
  }
}

}  // namespace
