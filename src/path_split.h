// Splits a command-line path into drive, directory, base name and extension.
#ifndef CHARFLIP_PATH_SPLIT_H
#define CHARFLIP_PATH_SPLIT_H

#include <cstddef>

namespace charflip {

constexpr size_t kMaxPathLength = 255;

struct PathParts {
  char drive[3];                       // "C:" or empty
  char directory[kMaxPathLength + 1];  // up to and including the last separator
  char baseName[kMaxPathLength + 1];
  char extension[kMaxPathLength + 1];  // from the last dot of the name, or empty
};

// Tells whether a byte starts a double-byte character, whose second byte
// must not be taken for a separator or a dot.
using LeadByteTest = bool (*)(unsigned char byte);

// Splits `path` so that drive + directory + baseName + extension gives it
// back whenever each part fits; a longer part is cut to kMaxPathLength.
// Only the last dot after the last separator starts the extension, so
// "a.b.cmx" has the base name "a.b" and ".bcf" has an empty one.
void SplitPath(const char* path, LeadByteTest isLeadByte, PathParts* parts);

}  // namespace charflip

#endif  // CHARFLIP_PATH_SPLIT_H
