// Splitting the command-line path into drive, directory, base name and
// extension.
#include "path_split.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>

namespace {

using charflip::PathParts;
using charflip::SplitPath;

// Lead bytes of code page 932, as a double-byte system reports them.
bool IsLeadByteOfCodePage932(unsigned char byte) {
  return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC);
}

struct SplitCase {
  const char* path;
  bool doubleByte;  // split under code page 932 rather than byte by byte
  const char* drive;
  const char* directory;
  const char* baseName;
  const char* extension;
};

void PrintTo(const SplitCase& c, std::ostream* os) {
  *os << testing::PrintToString(std::string(c.path));
}

class PathSplit : public testing::TestWithParam<SplitCase> {};

TEST_P(PathSplit, GivesTheFourParts) {
  const SplitCase& c = GetParam();
  PathParts parts;
  SplitPath(c.path, c.doubleByte ? IsLeadByteOfCodePage932 : nullptr, &parts);
  EXPECT_STREQ(parts.drive, c.drive);
  EXPECT_STREQ(parts.directory, c.directory);
  EXPECT_STREQ(parts.baseName, c.baseName);
  EXPECT_STREQ(parts.extension, c.extension);
  EXPECT_EQ(std::string(parts.drive) + parts.directory + parts.baseName + parts.extension, c.path);
}

static const SplitCase kSplitCases[] = {
    {"guard.bcf", false, "", "", "guard", ".bcf"},
    {"D:\\chars\\guard.bcf", false, "D:", "\\chars\\", "guard", ".bcf"},
    {"C:guard.cmx", false, "C:", "", "guard", ".cmx"},
    {"a.b.Cmx", false, "", "", "a.b", ".Cmx"},
    {"dir.x/guard", false, "", "dir.x/", "guard", ""},
    {"dir.x\\guard", false, "", "dir.x\\", "guard", ""},
    {"guard.", false, "", "", "guard", "."},
    {"guard", false, "", "", "guard", ""},
    {"", false, "", "", "", ""},
    {".bcf", false, "", "", "", ".bcf"},
    {"chars/.bcf", false, "", "chars/", "", ".bcf"},
    {"/srv/chars/mixed\\sep/guard.bcf", false, "", "/srv/chars/mixed\\sep/", "guard", ".bcf"},
    {"C", false, "", "", "C", ""},
    {"C:", false, "C:", "", "", ""},
    {"C:\\", false, "C:", "\\", "", ""},
    {"::x.bcf", false, "::", "", "x", ".bcf"},
    // 0x95 0x5C is one character whose second byte is '\'.
    {"\x95\\.bcf", true, "", "", "\x95\\", ".bcf"},
    {"\x95\\.bcf", false, "", "\x95\\", "", ".bcf"},
    {"d\x95\\/x\x81.y.cmx", true, "", "d\x95\\/", "x\x81.y", ".cmx"},
    // A lead byte steps over the byte after it, a dot included.
    {"a\x81.bcf", true, "", "", "a\x81.bcf", ""},
    // A lead byte at the very end has no byte to pair with.
    {"guard\x81", true, "", "", "guard\x81", ""},
};
INSTANTIATE_TEST_SUITE_P(Paths, PathSplit, testing::ValuesIn(kSplitCases));

TEST(PathSplit, CutsEachPartToTheLongestPath) {
  const std::string folder(300, 'd');
  const std::string name(300, 'n');
  const std::string path = folder + "/" + name + "." + std::string(300, 'e');
  PathParts parts;
  SplitPath(path.c_str(), nullptr, &parts);
  EXPECT_EQ(std::string(parts.directory), std::string(255, 'd'));
  EXPECT_EQ(std::string(parts.baseName), std::string(255, 'n'));
  EXPECT_EQ(std::string(parts.extension), "." + std::string(254, 'e'));
}

}  // namespace
