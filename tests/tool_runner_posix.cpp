#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <cstdlib>
#include <sstream>

#include "tool_runner.h"

namespace charflip_test {
namespace {

constexpr uid_t kNobody = 65534;

std::string ReadAll(int fd) {
  std::string bytes;
  char chunk[4096];
  ssize_t got = 0;
  while ((got = read(fd, chunk, sizeof chunk)) > 0) {
    bytes.append(chunk, static_cast<size_t>(got));
  }
  return bytes;
}

// CHARFLIP_TEST_WRAPPER, such as "valgrind --error-exitcode=99", runs
// charflip under another program: its words come first.
std::vector<std::string> CommandLine(const std::vector<std::string>& args) {
  std::vector<std::string> words;
  if (const char* wrapper = std::getenv("CHARFLIP_TEST_WRAPPER")) {
    std::istringstream split(wrapper);
    for (std::string word; split >> word;) {
      words.push_back(word);
    }
  }
  words.emplace_back(CHARFLIP_EXECUTABLE);
  words.insert(words.end(), args.begin(), args.end());
  return words;
}

// In the child: sets it up as `options` asks and runs the command; never returns.
[[noreturn]] void Exec(const std::string& folder, std::vector<std::string> words,
                       const RunOptions& options) {
  if (options.readerGone) {
    int deadPipe[2];
    if (pipe(deadPipe) == 0) {
      close(deadPipe[0]);
      dup2(deadPipe[1], STDOUT_FILENO);
    }
  }
  if (options.fileSizeLimit >= 0) {
    static_cast<void>(std::signal(SIGXFSZ, SIG_IGN));
    const auto limit = static_cast<rlim_t>(options.fileSizeLimit);
    const rlimit fileSize{limit, limit};
    setrlimit(RLIMIT_FSIZE, &fileSize);
  }
  if (options.unprivileged && geteuid() == 0 && (setgid(kNobody) != 0 || setuid(kNobody) != 0)) {
    _exit(126);
  }
  std::vector<char*> argv;
  argv.reserve(words.size() + 1);
  for (std::string& word : words) {
    argv.push_back(word.data());
  }
  argv.push_back(nullptr);
  if (chdir(folder.c_str()) == 0) {
    execvp(argv[0], argv.data());
  }
  _exit(127);
}

}  // namespace

bool SupportsFileSizeLimit() { return true; }
bool SupportsClosedPipes() { return true; }

bool SupportsUnprivilegedRuns() {
  if (geteuid() != 0) {
    return true;  // permissions bind this user already
  }
  const pid_t child = fork();
  if (child == 0) {
    const bool reachable =
        setgid(kNobody) == 0 && setuid(kNobody) == 0 && access(CHARFLIP_EXECUTABLE, X_OK) == 0;
    _exit(reachable ? 0 : 1);
  }
  int status = 0;
  waitpid(child, &status, 0);
  return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

ToolRun RunCharflip(const std::string& folder, const std::vector<std::string>& args,
                    const RunOptions& options) {
  ToolRun run;
  int outPipe[2];
  int errPipe[2];
  if (pipe(outPipe) != 0 || pipe(errPipe) != 0) {
    ADD_FAILURE() << "pipe";
    return run;
  }
  const std::vector<std::string> words = CommandLine(args);
  const pid_t child = fork();
  if (child == 0) {
    dup2(outPipe[1], STDOUT_FILENO);
    dup2(errPipe[1], STDERR_FILENO);
    close(outPipe[0]);
    close(errPipe[0]);
    Exec(folder, words, options);
  }
  close(outPipe[1]);
  close(errPipe[1]);
  run.out = ReadAll(outPipe[0]);
  run.err = ReadAll(errPipe[0]);
  close(outPipe[0]);
  close(errPipe[0]);
  int status = 0;
  waitpid(child, &status, 0);
  run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return run;
}

}  // namespace charflip_test
