// Helpers shared by the tests: fixtures, records and a scratch folder.
#ifndef CHARFLIP_TESTS_TEST_SUPPORT_H
#define CHARFLIP_TESTS_TEST_SUPPORT_H

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "charfile/character_file.h"

namespace charflip_test {

#ifdef _WIN32
constexpr bool kWindows = true;
#else
constexpr bool kWindows = false;
#endif

std::string DataPath(const std::string& name);  // a file under tests/data
std::string ReadFileBytes(const std::string& path);
void WriteFileBytes(const std::string& path, const std::string& bytes);
void MakeFolder(const std::string& path);
// Lets every user create files in the folder.
void OpenToEveryone(const std::string& folder);
// Makes the file read-only for every user (on Windows, its read-only mark).
void MakeReadOnly(const std::string& path);

// Failures whose reason line is the system's own text, which differs
// between systems.
enum class SystemFault {
  kMissingFile,
  kMissingFolder,
  kInputIsFolder,
  kOutputIsFolder,
  kPermissionDenied,
  kFileTooLarge,
};
std::string SystemText(SystemFault fault);

// A record with every byte set to `fill`, so that a reader that leaves a
// field alone shows up.
charfile::CharacterFile FilledRecord(unsigned char fill = 0xA5);

// Sets the header values and the entries in use of `record`.
struct EntryValues {
  const char* text1;
  const char* text2;
  int32_t value1;
  int32_t value2;
};
void SetRecord(charfile::CharacterFile* record, int32_t leading1, int32_t leading2,
               const char* name, int32_t nameValue1, int32_t nameValue2, int32_t count,
               const std::vector<EntryValues>& entries);

// Compares what the encodings carry: the five values, the name and the
// entries in use.
void ExpectSameRecord(const charfile::CharacterFile& expected,
                      const charfile::CharacterFile& actual);

// Names the cases of a parameterised test after their `label` field.
struct NameByLabel {
  template <typename Case>
  std::string operator()(const testing::TestParamInfo<Case>& param) const {
    return param.param.label;
  }
};

// Names the cases of a parameterised test after the fixture in their
// `file` field: "refused/ends_early.bcf" gives "ends_early_bcf".
struct NameByFile {
  template <typename Case>
  std::string operator()(const testing::TestParamInfo<Case>& param) const {
    std::string name = param.param.file;
    name = name.substr(name.find_last_of('/') + 1);
    for (char& c : name) {
      c = c == '.' ? '_' : c;
    }
    return name;
  }
};

// A fresh folder under the system's temporary folder, removed with its
// contents at the end of the test.
class ScratchFolder {
 public:
  ScratchFolder();
  ~ScratchFolder();
  ScratchFolder(const ScratchFolder&) = delete;
  ScratchFolder& operator=(const ScratchFolder&) = delete;

  const std::string& path() const { return path_; }
  std::string operator/(const std::string& name) const { return path_ + "/" + name; }
  // Names of the entries in the folder, sorted.
  std::vector<std::string> List() const;

 private:
  std::string path_;
};

}  // namespace charflip_test

#endif  // CHARFLIP_TESTS_TEST_SUPPORT_H
