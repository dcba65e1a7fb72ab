#include <gtest/gtest.h>
#include <windows.h>

#include "tool_runner.h"

namespace charflip_test {
namespace {

// Quotes one argument so that the C runtime's command-line split gives it
// back unchanged: backslashes double only before a quote.
std::string Quote(const std::string& arg) {
  if (!arg.empty() && arg.find_first_of(" \t\"") == std::string::npos) {
    return arg;
  }
  std::string quoted = "\"";
  size_t backslashes = 0;
  for (char c : arg) {
    if (c == '\\') {
      ++backslashes;
      continue;
    }
    quoted.append(c == '"' ? backslashes * 2 + 1 : backslashes, '\\');
    backslashes = 0;
    quoted += c;
  }
  quoted.append(backslashes * 2, '\\');
  return quoted + "\"";
}

std::string ReadAll(HANDLE pipe) {
  std::string bytes;
  char chunk[4096];
  DWORD got = 0;
  while (ReadFile(pipe, chunk, sizeof chunk, &got, nullptr) && got > 0) {
    bytes.append(chunk, got);
  }
  return bytes;
}

}  // namespace

bool SupportsFileSizeLimit() { return false; }
bool SupportsUnprivilegedRuns() { return false; }
bool SupportsClosedPipes() { return false; }

ToolRun RunCharflip(const std::string& folder, const std::vector<std::string>& args,
                    const RunOptions& /*options*/) {
  ToolRun run;
  SECURITY_ATTRIBUTES inherit{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
  HANDLE outRead = nullptr;
  HANDLE outWrite = nullptr;
  HANDLE errRead = nullptr;
  HANDLE errWrite = nullptr;
  if (!CreatePipe(&outRead, &outWrite, &inherit, 0) ||
      !CreatePipe(&errRead, &errWrite, &inherit, 0)) {
    ADD_FAILURE() << "CreatePipe";
    return run;
  }
  SetHandleInformation(outRead, HANDLE_FLAG_INHERIT, 0);
  SetHandleInformation(errRead, HANDLE_FLAG_INHERIT, 0);

  std::string commandLine = Quote(CHARFLIP_EXECUTABLE);
  for (const std::string& arg : args) {
    commandLine += " " + Quote(arg);
  }
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
  startup.hStdOutput = outWrite;
  startup.hStdError = errWrite;
  PROCESS_INFORMATION process{};
  const BOOL started = CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, TRUE, 0,
                                      nullptr, folder.c_str(), &startup, &process);
  CloseHandle(outWrite);
  CloseHandle(errWrite);
  if (started) {
    run.out = ReadAll(outRead);
    run.err = ReadAll(errRead);
    WaitForSingleObject(process.hProcess, INFINITE);
    DWORD exitCode = 0;
    GetExitCodeProcess(process.hProcess, &exitCode);
    run.status = static_cast<int>(exitCode);
    CloseHandle(process.hProcess);
    CloseHandle(process.hThread);
  } else {
    ADD_FAILURE() << "CreateProcess failed: " << GetLastError();
  }
  CloseHandle(outRead);
  CloseHandle(errRead);
  return run;
}

}  // namespace charflip_test
