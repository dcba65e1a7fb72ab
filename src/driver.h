// One run of the tool: banner, argument check, one conversion, report.
#ifndef CHARFLIP_DRIVER_H
#define CHARFLIP_DRIVER_H

#include "console.h"

namespace charflip {

// Runs the tool on main's arguments, reporting on `console`. Always
// returns 0: the outcome is in the messages.
int RunCharflip(int argc, const char* const* argv, Console& console);

}  // namespace charflip

#endif  // CHARFLIP_DRIVER_H
