// Runs the built charflip as its own process and captures what it prints.
#ifndef CHARFLIP_TESTS_TOOL_RUNNER_H
#define CHARFLIP_TESTS_TOOL_RUNNER_H

#include <string>
#include <vector>

namespace charflip_test {

struct ToolRun {
  std::string out;
  std::string err;
  int status = -1;  // exit status; -1 if the process did not exit normally
};

// How the process is set up, for the fault tests. Only the default is
// available on every system; see the Supports functions.
struct RunOptions {
  long fileSizeLimit = -1;   // bytes, with SIGXFSZ ignored; -1 for none
  bool unprivileged = false;  // drop root, so that file permissions apply
  bool readerGone = false;    // standard output is a pipe that nobody reads
};

bool SupportsFileSizeLimit();
bool SupportsUnprivilegedRuns();  // also false where the user cannot reach the tool
bool SupportsClosedPipes();

// Runs charflip in `folder` with exactly `args` after the program name.
ToolRun RunCharflip(const std::string& folder, const std::vector<std::string>& args,
                    const RunOptions& options = RunOptions());

}  // namespace charflip_test

#endif  // CHARFLIP_TESTS_TOOL_RUNNER_H
