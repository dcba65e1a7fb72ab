// The record's limits as the encodings see them. Records filled by a reader
// always keep them; a record built by hand may not, and the writers refuse it.
#ifndef CHARFILE_RECORD_LIMITS_H
#define CHARFILE_RECORD_LIMITS_H

#include <cstring>

#include "charfile/character_file.h"

namespace charfile {

// Length of a text field up to its NUL; kTextSize when it has none.
inline size_t TextLength(const char* field) { return strnlen(field, kTextSize); }

// Entries 0 to EntriesInUse() - 1 are read and written; a count of zero or
// less means none.
inline int EntriesInUse(const CharacterFile& record) {
  return record.entryCount > 0 ? record.entryCount : 0;
}

}  // namespace charfile

#endif  // CHARFILE_RECORD_LIMITS_H
