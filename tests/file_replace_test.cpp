// Replacing an output file: all or nothing, with its permissions, through
// a symbolic link to the file it names.
#include <gtest/gtest.h>
#include <sys/stat.h>
#ifdef _WIN32
#include <windows.h>
#else
#include <unistd.h>
#endif

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

#ifdef _WIN32
constexpr int kReplacingAFolder = ERROR_ACCESS_DENIED;
constexpr int kMissingFolder = ERROR_PATH_NOT_FOUND;
#else
constexpr int kReplacingAFolder = EISDIR;
constexpr int kMissingFolder = ENOENT;
#endif

bool Replace(const std::string& path, FileError* error) {
  return ReplaceFileContents(path.c_str(), kNew.data(), kNew.size(), error);
}

#ifndef _WIN32
mode_t ModeOf(const std::string& path) {
  struct stat status {};
  EXPECT_EQ(stat(path.c_str(), &status), 0);
  return status.st_mode & 07777;
}
#endif

TEST(FileReplace, NewFileGetsTheUsualPermissions) {
#ifdef _WIN32
  GTEST_SKIP() << "Windows files have no umask or POSIX permission bits";
#else
  ScratchFolder folder;
  const mode_t oldMask = umask(022);
  FileError error;
  EXPECT_TRUE(Replace(folder / "out.cmx", &error));
  umask(oldMask);
  EXPECT_EQ(ModeOf(folder / "out.cmx"), 0644u);
  EXPECT_EQ(ReadFileBytes(folder / "out.cmx"), kNew);
#endif
}

TEST(FileReplace, KeepsThePermissionsOfTheFileItReplaces) {
#ifdef _WIN32
  GTEST_SKIP() << "Windows files have no POSIX permission bits";
#else
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
#endif
}

TEST(FileReplace, ThroughALinkReplacesTheFileItNames) {
#ifdef _WIN32
  GTEST_SKIP() << "symbolic links need privileges on Windows";
#else
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
#endif
}

TEST(FileReplace, ALinkToNothingIsReplacedByTheFile) {
#ifdef _WIN32
  GTEST_SKIP() << "symbolic links need privileges on Windows";
#else
  ScratchFolder folder;
  ASSERT_EQ(symlink("missing.cmx", (folder / "out.cmx").c_str()), 0);
  FileError error;
  EXPECT_TRUE(Replace(folder / "out.cmx", &error));
  EXPECT_EQ(ReadFileBytes(folder / "out.cmx"), kNew);
  EXPECT_EQ(folder.List(), Names{"out.cmx"});
#endif
}

TEST(FileReplace, FailureLeavesTheFolderAsItWas) {
  ScratchFolder folder;
  charflip_test::MakeFolder(folder / "out.cmx");
  WriteFileBytes(folder / "out.cmx/inside", "kept");
  FileError error;
  EXPECT_FALSE(Replace(folder / "out.cmx", &error));
  EXPECT_EQ(error.code, ErrorCode::kSystem);
  EXPECT_EQ(error.systemError, kReplacingAFolder);
  EXPECT_EQ(folder.List(), Names{"out.cmx"});
  EXPECT_EQ(ReadFileBytes(folder / "out.cmx/inside"), "kept");
}

TEST(FileReplace, MissingFolderIsReported) {
  ScratchFolder folder;
  FileError error;
  EXPECT_FALSE(Replace(folder / "nowhere/out.cmx", &error));
  EXPECT_EQ(error.systemError, kMissingFolder);
  EXPECT_TRUE(folder.List().empty());
}

}  // namespace
