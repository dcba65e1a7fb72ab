#include "driver.h"

#include <cstring>
#include <initializer_list>

#include "charfile/character_file.h"
#include "path_split.h"
#include "platform.h"

namespace charflip {
namespace {

using charfile::CharacterFile;
using charfile::FileError;

constexpr char kBanner[] = "CHARFLIP v1.00 by the CHARFLIP developers\r\n\r\n";

struct Direction {
  const char* inputExtension;  // lower case; matched ignoring ASCII case
  const char* outputExtension;
  const char* readMessage;
  bool (CharacterFile::*read)(const char* path, FileError* error);
  bool (CharacterFile::*write)(const char* path, FileError* error) const;
};

// Tried in this order.
constexpr Direction kDirections[] = {
    {".cmx", ".bcf", "Successfully Read file %s\r\n", &CharacterFile::ReadCmx,
     &CharacterFile::WriteBcf},
    {".bcf", ".cmx", "Successfully read file %s\r\n", &CharacterFile::ReadBcf,
     &CharacterFile::WriteCmx},
};

// Folds only A to Z, whatever the locale.
bool EqualsIgnoringAsciiCase(const char* a, const char* b) {
  for (;; ++a, ++b) {
    const char x = (*a >= 'A' && *a <= 'Z') ? static_cast<char>(*a - 'A' + 'a') : *a;
    const char y = (*b >= 'A' && *b <= 'Z') ? static_cast<char>(*b - 'A' + 'a') : *b;
    if (x != y) {
      return false;
    }
    if (x == '\0') {
      return true;
    }
  }
}

const Direction* FindDirection(const char* extension) {
  for (const Direction& direction : kDirections) {
    if (EqualsIgnoringAsciiCase(extension, direction.inputExtension)) {
      return &direction;
    }
  }
  return nullptr;
}

// drive + directory + base name + extension. The parts come from a path of
// at most kMaxPathLength bytes and the extension keeps its length, so the
// result fits; the cut only guards the buffer.
void JoinPath(const PathParts& parts, const char* extension, char (&path)[kMaxPathLength + 1]) {
  size_t length = 0;
  for (const char* part : {parts.drive, parts.directory, parts.baseName, extension}) {
    const size_t partLength = std::strlen(part);
    const size_t room = kMaxPathLength - length;
    const size_t copied = partLength < room ? partLength : room;
    std::memcpy(path + length, part, copied);
    length += copied;
  }
  path[length] = '\0';
}

void PrintReason(const FileError& error, Console& console) {
  char reason[256];
  charfile::FormatError(error, reason, sizeof reason);
  console.Print("%s\r\n", reason);
}

void Convert(const PathParts& parts, const Direction& direction, Console& console) {
  char path[kMaxPathLength + 1];
  JoinPath(parts, kFileNamesIgnoreCase ? direction.inputExtension : parts.extension, path);
  CharacterFile record{};  // cleared: a reader fills only the fields its file reaches
  FileError error;
  if (!(record.*direction.read)(path, &error)) {
    console.Print("Failed to read file %s\r\n", path);
    PrintReason(error, console);
    return;
  }
  console.Print(direction.readMessage, path);

  JoinPath(parts, direction.outputExtension, path);
  if (!(record.*direction.write)(path, &error)) {
    console.Print("Failed to write file %s\r\n", path);
    PrintReason(error, console);
    return;
  }
  console.Print("Successfully wrote file %s\r\n", path);
}

}  // namespace

int RunCharflip(int argc, const char* const* argv, Console& console) {
  console.Print(kBanner);
  if (argc != 2) {
    console.Print("Usage: CHARFLIP [filename]\r\n");
    return 0;
  }
  const char* argument = argv[1];
  if (std::strlen(argument) > kMaxPathLength) {
    console.Print("Path too long %s\r\n", argument);
    return 0;
  }
  PathParts parts;
  SplitPath(argument, IsAnsiLeadByte, &parts);
  const Direction* direction = FindDirection(parts.extension);
  if (direction == nullptr) {
    console.Print("Unrecognized File Extension %s\r\n", parts.extension);
    return 0;
  }
  Convert(parts, *direction, console);
  return 0;
}

}  // namespace charflip
