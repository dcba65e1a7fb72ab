// What the driver needs from the operating system, kept in one place.
#ifndef CHARFLIP_PLATFORM_H
#define CHARFLIP_PLATFORM_H

#include <cstddef>

namespace charflip {

// Where file names ignore case, the input is opened under its rebuilt path
// with the extension in lower case; elsewhere under the path as typed, so
// that guard.BCF opens guard.BCF.
#ifdef _WIN32
constexpr bool kFileNamesIgnoreCase = true;
#else
constexpr bool kFileNamesIgnoreCase = false;
#endif

// Sets the process up for one conversion: a failed write must come back as
// an error the tool can report, not end the process.
void PrepareProcess();

// True when `byte` starts a double-byte character in the system's ANSI code
// page. Systems without one have no lead bytes.
bool IsAnsiLeadByte(unsigned char byte);

// Writes bytes to standard output exactly as given, with no translation.
void WriteStandardOutput(const char* data, size_t size);

}  // namespace charflip

#endif  // CHARFLIP_PLATFORM_H
