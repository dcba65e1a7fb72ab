#include "test_support.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <random>

#include "charfile/file_access.h"

#ifdef _WIN32
#include <windows.h>
#endif

namespace charflip_test {

namespace fs = std::filesystem;

std::string DataPath(const std::string& name) {
  return std::string(CHARFLIP_TEST_DATA) + "/" + name;
}

std::string ReadFileBytes(const std::string& path) {
  std::string bytes;
  FILE* file = std::fopen(path.c_str(), "rb");
  if (file == nullptr) {
    ADD_FAILURE() << "cannot open " << path;
    return bytes;
  }
  char chunk[4096];
  size_t got = 0;
  while ((got = std::fread(chunk, 1, sizeof chunk, file)) > 0) {
    bytes.append(chunk, got);
  }
  static_cast<void>(std::fclose(file));
  return bytes;
}

void WriteFileBytes(const std::string& path, const std::string& bytes) {
  FILE* file = std::fopen(path.c_str(), "wb");
  ASSERT_NE(file, nullptr) << "cannot create " << path;
  ASSERT_EQ(std::fwrite(bytes.data(), 1, bytes.size(), file), bytes.size());
  ASSERT_EQ(std::fclose(file), 0);
}

void MakeFolder(const std::string& path) {
  std::error_code error;
  EXPECT_TRUE(fs::create_directory(path, error)) << path << ": " << error.message();
}

void OpenToEveryone(const std::string& folder) {
  fs::permissions(folder, fs::perms::all, fs::perm_options::add);
}

void MakeReadOnly(const std::string& path) {
  fs::permissions(path, fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                  fs::perm_options::remove);
}

std::string SystemText(SystemFault fault) {
#ifdef _WIN32
  static const int kCodes[] = {ERROR_FILE_NOT_FOUND, ERROR_PATH_NOT_FOUND, ERROR_ACCESS_DENIED,
                               ERROR_ACCESS_DENIED,  ERROR_ACCESS_DENIED,  ERROR_DISK_FULL};
#else
  static const int kCodes[] = {ENOENT, ENOENT, EISDIR, EISDIR, EACCES, EFBIG};
#endif
  char text[256];
  charfile::SystemErrorText(kCodes[static_cast<int>(fault)], text, sizeof text);
  return text;
}

charfile::CharacterFile FilledRecord(unsigned char fill) {
  charfile::CharacterFile record;
  std::memset(&record, fill, sizeof record);
  return record;
}

namespace {

void SetText(char* field, const char* text) {
  ASSERT_LT(std::strlen(text), static_cast<size_t>(charfile::kTextSize));
  std::strcpy(field, text);
}

}  // namespace

void SetRecord(charfile::CharacterFile* record, int32_t leading1, int32_t leading2,
               const char* name, int32_t nameValue1, int32_t nameValue2, int32_t count,
               const std::vector<EntryValues>& entries) {
  record->leadingValue1 = leading1;
  record->leadingValue2 = leading2;
  SetText(record->name, name);
  record->nameValue1 = nameValue1;
  record->nameValue2 = nameValue2;
  record->entryCount = count;
  ASSERT_LE(entries.size(), static_cast<size_t>(charfile::kMaxEntries));
  for (size_t i = 0; i < entries.size(); ++i) {
    charfile::CharacterEntry& entry = record->entries[i];
    SetText(entry.text1, entries[i].text1);
    SetText(entry.text2, entries[i].text2);
    entry.value1 = entries[i].value1;
    entry.value2 = entries[i].value2;
  }
}

void ExpectSameRecord(const charfile::CharacterFile& expected,
                      const charfile::CharacterFile& actual) {
  EXPECT_EQ(expected.leadingValue1, actual.leadingValue1);
  EXPECT_EQ(expected.leadingValue2, actual.leadingValue2);
  EXPECT_STREQ(expected.name, actual.name);
  EXPECT_EQ(expected.nameValue1, actual.nameValue1);
  EXPECT_EQ(expected.nameValue2, actual.nameValue2);
  ASSERT_EQ(expected.entryCount, actual.entryCount);
  for (int i = 0; i < expected.entryCount && i < charfile::kMaxEntries; ++i) {
    SCOPED_TRACE("entry " + std::to_string(i));
    EXPECT_STREQ(expected.entries[i].text1, actual.entries[i].text1);
    EXPECT_STREQ(expected.entries[i].text2, actual.entries[i].text2);
    EXPECT_EQ(expected.entries[i].value1, actual.entries[i].value1);
    EXPECT_EQ(expected.entries[i].value2, actual.entries[i].value2);
  }
}

ScratchFolder::ScratchFolder() {
  std::random_device seed;
  std::mt19937 random(seed());
  for (int attempt = 0; attempt < 100 && path_.empty(); ++attempt) {
    const fs::path candidate =
        fs::temp_directory_path() / ("charflip-test-" + std::to_string(random()));
    std::error_code error;
    if (fs::create_directory(candidate, error)) {
      path_ = candidate.generic_string();
    }
  }
  if (path_.empty()) {
    ADD_FAILURE() << "cannot create a scratch folder";
  }
}

ScratchFolder::~ScratchFolder() {
  // Tests may leave read-only files and folders behind; make them removable.
  std::error_code ignored;
  fs::permissions(path_, fs::perms::owner_all, fs::perm_options::add, ignored);
  for (fs::recursive_directory_iterator it(path_, ignored), end; it != end; it.increment(ignored)) {
    fs::permissions(it->path(), fs::perms::owner_all, fs::perm_options::add, ignored);
  }
  fs::remove_all(path_, ignored);
}

std::vector<std::string> ScratchFolder::List() const {
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(path_)) {
    names.push_back(entry.path().filename().string());
  }
  std::sort(names.begin(), names.end());
  return names;
}

}  // namespace charflip_test
