// Replacing an output file: all or nothing, with its permissions, through
// a symbolic link to the file it names.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <string>
#include <vector>

#include "charfile/file_access.h"
#include "test_support.h"

namespace {

using charfile::ErrorCode;
using charfile::FileError;
using charfile::ReplaceFileContents;
using charflip_test::ReadFileBytes;
using charflip_test::ScratchFolder;
using charflip_test::WriteFileBytes;
using Names = std::vector<std::string>;

const std::string kNew = "new contents\r\n";

bool Replace(const std::string& path, FileError* error) {
  return ReplaceFileContents(path.c_str(), kNew.data(), kNew.size(), error);
}

mode_t ModeOf(const std::string& path) {
  struct stat status {};
  EXPECT_EQ(stat(path.c_str(), &status), 0);
  return status.st_mode & 07777;
}

TEST(FileReplace, NewFileGetsTheUsualPermissions) {
  ScratchFolder folder;
  const mode_t oldMask = umask(022);
  FileError error;
  EXPECT_TRUE(Replace(folder / "out.cmx", &error));
  umask(oldMask);
  EXPECT_EQ(ModeOf(folder / "out.cmx"), 0644u);
  EXPECT_EQ(ReadFileBytes(folder / "out.cmx"), kNew);
}

TEST(FileReplace, KeepsThePermissionsOfTheFileItReplaces) {
  ScratchFolder folder;
  for (mode_t mode : {0600u, 0640u, 0755u}) {
    WriteFileBytes(folder / "out.cmx", "old");
    chmod((folder / "out.cmx").c_str(), mode);
    FileError error;
    EXPECT_TRUE(Replace(folder / "out.cmx", &error));
    EXPECT_EQ(ModeOf(folder / "out.cmx"), mode);
    EXPECT_EQ(ReadFileBytes(folder / "out.cmx"), kNew);
  }
  EXPECT_EQ(folder.List(), Names{"out.cmx"});
}

TEST(FileReplace, ThroughALinkReplacesTheFileItNames) {
  ScratchFolder folder;
  mkdir((folder / "shared").c_str(), 0777);
  WriteFileBytes(folder / "shared/out.cmx", "old");
  ASSERT_EQ(symlink("shared/out.cmx", (folder / "out.cmx").c_str()), 0);
  FileError error;
  EXPECT_TRUE(Replace(folder / "out.cmx", &error));
  EXPECT_EQ(ReadFileBytes(folder / "shared/out.cmx"), kNew);
  struct stat link {};
  ASSERT_EQ(lstat((folder / "out.cmx").c_str(), &link), 0);
  EXPECT_TRUE(S_ISLNK(link.st_mode));
  EXPECT_EQ(folder.List(), (Names{"out.cmx", "shared"}));
}

TEST(FileReplace, ALinkToNothingIsReplacedByTheFile) {
  ScratchFolder folder;
  ASSERT_EQ(symlink("missing.cmx", (folder / "out.cmx").c_str()), 0);
  FileError error;
  EXPECT_TRUE(Replace(folder / "out.cmx", &error));
  EXPECT_EQ(ReadFileBytes(folder / "out.cmx"), kNew);
  EXPECT_EQ(folder.List(), Names{"out.cmx"});
}

TEST(FileReplace, FailureLeavesTheFolderAsItWas) {
  ScratchFolder folder;
  mkdir((folder / "out.cmx").c_str(), 0777);
  WriteFileBytes(folder / "out.cmx/inside", "kept");
  FileError error;
  EXPECT_FALSE(Replace(folder / "out.cmx", &error));
  EXPECT_EQ(error.code, ErrorCode::kSystem);
  EXPECT_EQ(error.systemError, EISDIR);
  EXPECT_EQ(folder.List(), Names{"out.cmx"});
  EXPECT_EQ(ReadFileBytes(folder / "out.cmx/inside"), "kept");
}

TEST(FileReplace, MissingFolderIsReported) {
  ScratchFolder folder;
  FileError error;
  EXPECT_FALSE(Replace(folder / "nowhere/out.cmx", &error));
  EXPECT_EQ(error.systemError, ENOENT);
  EXPECT_TRUE(folder.List().empty());
}

}  // namespace
