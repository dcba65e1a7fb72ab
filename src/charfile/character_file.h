// The character record and the four operations that move it between files.
//
// A character file comes in two encodings that carry the same values in the
// same order: a compact binary form (".bcf") and a line-oriented text form
// (".cmx"). Each reader fills one CharacterFile; the writer of the other
// encoding writes it out again. Apart from entryCount, the values have no
// meaning here: every number and text is carried through unchanged.
#ifndef CHARFILE_CHARACTER_FILE_H
#define CHARFILE_CHARACTER_FILE_H

#include <cstddef>
#include <cstdint>

#include "charfile/file_error.h"

namespace charfile {

// Size of every text field, its terminating NUL included.
constexpr int kTextSize = 100;
constexpr int kMaxTextLength = kTextSize - 1;
constexpr int kMaxEntries = 30;

struct CharacterEntry {
  char text1[kTextSize];
  char text2[kTextSize];
  int32_t value1;
  int32_t value2;
};

// Declaration order differs from file order on purpose: files carry
// leadingValue1, leadingValue2, name, nameValue1, nameValue2, entryCount,
// then the entries.
//
// Entries at entryCount and beyond are never read or written and keep
// whatever they held. A count of zero or less means no entry is in use and
// is still carried through unchanged. The record is not cleared before a
// reader fills it.
struct CharacterFile {
  int32_t leadingValue1;
  int32_t nameValue1;
  int32_t nameValue2;
  int32_t leadingValue2;
  int32_t entryCount;
  char name[kTextSize];
  CharacterEntry entries[kMaxEntries];

  // Each operation returns true when the whole file was read or written.
  // On false, `error` (when given) says why and where; a reader may then
  // have filled part of the record, and a writer has left any existing
  // file at `path` as it was.
  bool ReadBcf(const char* path, FileError* error = nullptr);
  bool WriteBcf(const char* path, FileError* error = nullptr) const;
  bool ReadCmx(const char* path, FileError* error = nullptr);
  bool WriteCmx(const char* path, FileError* error = nullptr) const;
};

// ---- The same encodings on memory buffers -------------------------------

// Largest binary form that carries a whole record, trailer included.
// Bytes past it are never needed.
constexpr size_t kLongestText = kMaxTextLength;
constexpr size_t kEntryLimit = kMaxEntries;
constexpr size_t kMaxBcfSize =
    4 + 4 + (1 + kLongestText) + 4 + 4 + 4 + kEntryLimit * (2 * (1 + kLongestText) + 4 + 4) + 4;

// Fills `record` from the binary form in data[0, size). Refuses a file that
// ends before the last entry is complete, a text longer than 99 bytes and a
// count above 30. A missing or partial trailer and anything after the
// trailer are ignored.
bool DecodeBcf(const uint8_t* data, size_t size, CharacterFile* record, FileError* error);

// Writes the binary form of `record` to out[0, capacity) and its length to
// `size`. Refuses a record that breaks its limits or does not fit.
bool EncodeBcf(const CharacterFile& record, uint8_t* out, size_t capacity, size_t* size,
               FileError* error);

// The fixed lines of every text form that is written: the first two and
// the trailer.
constexpr char kCmxFirstLine[] = "// Character File. Keep one value per line, in this order.";
constexpr char kCmxVersionLine[] = "version 300";
constexpr char kCmxTrailerLine[] = "0";
constexpr size_t kCmxMaxDecimalLength = sizeof "-2147483648" - 1;

// Largest text form that EncodeCmx writes: fixed lines, five numbers, the
// name and the entries, every line with its CR LF.
constexpr size_t kCmxLineEnd = 2;
constexpr size_t kCmxNumberLine = kCmxMaxDecimalLength + kCmxLineEnd;
constexpr size_t kCmxTextLine = kLongestText + kCmxLineEnd;
constexpr size_t kMaxCmxSize =
    (sizeof kCmxFirstLine - 1 + kCmxLineEnd) + (sizeof kCmxVersionLine - 1 + kCmxLineEnd) +
    5 * kCmxNumberLine + kCmxTextLine + kEntryLimit * (2 * kCmxTextLine + 2 * kCmxNumberLine) +
    (sizeof kCmxTrailerLine - 1 + kCmxLineEnd);

// Writes the text form of `record`, lines ending in CR LF. Refuses a record
// whose name or an entry text in use holds a CR or LF byte (the text form
// has no way to carry one), breaks its limits, or does not fit.
bool EncodeCmx(const CharacterFile& record, char* out, size_t capacity, size_t* size,
               FileError* error);

// Reads the text form from memory; see CmxParser for the rules.
bool DecodeCmx(const char* data, size_t size, CharacterFile* record, FileError* error);

}  // namespace charfile

#endif  // CHARFILE_CHARACTER_FILE_H
