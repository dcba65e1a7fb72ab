#include "test_support.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>

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

bool FileExists(const std::string& path) {
  std::error_code ignored;
  return fs::exists(fs::symlink_status(path, ignored));
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
  std::string pattern = (fs::temp_directory_path() / "charflip-test-XXXXXX").string();
  if (mkdtemp(pattern.data()) == nullptr) {
    ADD_FAILURE() << "cannot create a scratch folder";
  }
  path_ = pattern;
}

ScratchFolder::~ScratchFolder() {
  std::error_code ignored;
  fs::permissions(path_, fs::perms::owner_all, fs::perm_options::add, ignored);
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
