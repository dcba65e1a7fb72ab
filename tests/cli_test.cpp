// The built charflip, end to end, in a scratch folder: its standard output
// byte for byte, its exit status and the files it leaves.
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <csignal>
#include <cstdlib>
#include <ostream>
#include <sstream>
#include <string>
#include <vector>

#include "test_support.h"

namespace {

using charflip_test::DataPath;
using charflip_test::FileExists;
using charflip_test::ReadFileBytes;
using charflip_test::ScratchFolder;
using charflip_test::WriteFileBytes;

const std::string kBanner = "CHARFLIP v1.00 by the CHARFLIP developers\r\n\r\n";

struct ToolRun {
  std::string out;
  std::string err;
  int status = -1;
};

std::string ReadAll(int fd) {
  std::string bytes;
  char chunk[4096];
  ssize_t got = 0;
  while ((got = read(fd, chunk, sizeof chunk)) > 0) {
    bytes.append(chunk, static_cast<size_t>(got));
  }
  return bytes;
}

// How the child process is set up, for the fault tests.
struct Limits {
  rlim_t fileSize = RLIM_INFINITY;  // RLIMIT_FSIZE, with SIGXFSZ ignored
  bool unprivileged = false;        // drop root, so file permissions apply
  bool readerGone = false;          // standard output is a pipe nobody reads
};

constexpr uid_t kNobody = 65534;

// Runs charflip in `folder` with exactly `args` after the program name.
ToolRun RunCharflip(const std::string& folder, const std::vector<std::string>& args,
                    const Limits& limits = Limits()) {
  int outPipe[2];
  int errPipe[2];
  ToolRun run;
  if (pipe(outPipe) != 0 || pipe(errPipe) != 0) {
    ADD_FAILURE() << "pipe";
    return run;
  }
  const pid_t child = fork();
  if (child == 0) {
    dup2(outPipe[1], STDOUT_FILENO);
    int deadPipe[2];
    if (limits.readerGone && pipe(deadPipe) == 0) {
      close(deadPipe[0]);
      dup2(deadPipe[1], STDOUT_FILENO);
    }
    dup2(errPipe[1], STDERR_FILENO);
    close(outPipe[0]);
    close(errPipe[0]);
    // CHARFLIP_TEST_WRAPPER, such as "valgrind --error-exitcode=99", runs
    // charflip under another program; its words come first.
    std::vector<std::string> words;
    if (const char* wrapper = std::getenv("CHARFLIP_TEST_WRAPPER")) {
      std::istringstream split(wrapper);
      for (std::string word; split >> word;) {
        words.push_back(word);
      }
    }
    std::vector<char*> argv;
    argv.reserve(words.size() + args.size() + 2);
    for (std::string& word : words) {
      argv.push_back(word.data());
    }
    argv.push_back(const_cast<char*>(CHARFLIP_EXECUTABLE));
    for (const std::string& arg : args) {
      argv.push_back(const_cast<char*>(arg.c_str()));
    }
    argv.push_back(nullptr);
    static_cast<void>(std::signal(SIGXFSZ, SIG_IGN));
    const rlimit fileSize{limits.fileSize, limits.fileSize};
    setrlimit(RLIMIT_FSIZE, &fileSize);
    if (limits.unprivileged && geteuid() == 0 && (setgid(kNobody) != 0 || setuid(kNobody) != 0)) {
      _exit(126);
    }
    if (chdir(folder.c_str()) == 0) {
      execvp(argv[0], argv.data());
    }
    _exit(127);
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

void ExpectRun(const ToolRun& run, const std::string& expectedOut) {
  EXPECT_EQ(run.out, expectedOut);
  EXPECT_EQ(run.err, "");
  EXPECT_EQ(run.status, 0);
}

using Names = std::vector<std::string>;

// ---- Runs that touch no file -------------------------------------------------

struct MessageCase {
  const char* label;
  std::vector<std::string> args;
  std::string expected;  // after the banner
};

void PrintTo(const MessageCase& c, std::ostream* os) { *os << c.label; }

class CliMessage : public testing::TestWithParam<MessageCase> {};

TEST_P(CliMessage, PrintsOnlyTheMessage) {
  ScratchFolder folder;
  ExpectRun(RunCharflip(folder.path(), GetParam().args), kBanner + GetParam().expected);
  EXPECT_TRUE(folder.List().empty());
}

static const MessageCase kMessageCases[] = {
    {"no_argument", {}, "Usage: CHARFLIP [filename]\r\n"},
    {"two_arguments", {"a.bcf", "b.bcf"}, "Usage: CHARFLIP [filename]\r\n"},
    {"no_extension", {"guard"}, "Unrecognized File Extension \r\n"},
    {"other_extension", {"guard.txt"}, "Unrecognized File Extension .txt\r\n"},
    {"dot_in_folder_only", {"dir.x/guard"}, "Unrecognized File Extension \r\n"},
    {"trailing_dot", {"guard."}, "Unrecognized File Extension .\r\n"},
    {"empty_argument", {""}, "Unrecognized File Extension \r\n"},
    {"path_too_long",
     {std::string(252, 'p') + ".bcf"},
     "Path too long " + std::string(252, 'p') + ".bcf\r\n"},
    {"missing_input",
     {"missing.bcf"},
     "Failed to read file missing.bcf\r\nNo such file or directory\r\n"},
    {"missing_folder",
     {"nowhere/missing.CMX"},
     "Failed to read file nowhere/missing.CMX\r\nNo such file or directory\r\n"},
};
INSTANTIATE_TEST_SUITE_P(Runs, CliMessage, testing::ValuesIn(kMessageCases),
                         charflip_test::NameByLabel());

// ---- Conversions -------------------------------------------------------------

struct ConversionCase {
  const char* label;
  const char* fixture;  // copied in as `input`
  std::string input;
  const char* readWord;  // "Read" for the text form, "read" for the binary form
  std::string output;
  const char* expectedOutput;  // fixture the output must equal
};

void PrintTo(const ConversionCase& c, std::ostream* os) { *os << c.label; }

class CliConversion : public testing::TestWithParam<ConversionCase> {};

TEST_P(CliConversion, WritesTheOtherFormBesideTheInput) {
  const ConversionCase& c = GetParam();
  ScratchFolder folder;
  mkdir((folder / "chars").c_str(), 0777);
  WriteFileBytes(folder / c.input, ReadFileBytes(DataPath(c.fixture)));
  ExpectRun(RunCharflip(folder.path(), {c.input}),
            kBanner + "Successfully " + c.readWord + " file " + c.input +
                "\r\nSuccessfully wrote file " + c.output + "\r\n");
  EXPECT_EQ(ReadFileBytes(folder / c.output), ReadFileBytes(DataPath(c.expectedOutput)));
}

static const ConversionCase kConversions[] = {
    {"binary_to_text", "extremes.bcf", "guard.bcf", "read", "guard.cmx", "extremes.cmx"},
    {"text_to_binary", "extremes.cmx", "guard.cmx", "Read", "guard.bcf", "extremes.bcf"},
    {"upper_case_extension", "worked_example.bcf", "guard.BCF", "read", "guard.cmx",
     "worked_example.cmx"},
    {"dotted_name_mixed_case", "worked_example.cmx", "a.b.Cmx", "Read", "a.b.bcf",
     "worked_example.bcf"},
    {"in_a_folder", "negative_count.cmx", "chars/guard.cmx", "Read", "chars/guard.bcf",
     "negative_count.bcf"},
};
INSTANTIATE_TEST_SUITE_P(Runs, CliConversion, testing::ValuesIn(kConversions),
                         charflip_test::NameByLabel());

TEST(Cli, ReplacesAnExistingOutputAndLeavesNothingElse) {
  ScratchFolder folder;
  WriteFileBytes(folder / "guard.cmx", ReadFileBytes(DataPath("worked_example.cmx")));
  WriteFileBytes(folder / "guard.bcf", std::string(9000, 'x'));
  ExpectRun(RunCharflip(folder.path(), {"guard.cmx"}),
            kBanner + "Successfully Read file guard.cmx\r\nSuccessfully wrote file guard.bcf\r\n");
  EXPECT_EQ(ReadFileBytes(folder / "guard.bcf"), ReadFileBytes(DataPath("worked_example.bcf")));
  EXPECT_EQ(folder.List(), (Names{"guard.bcf", "guard.cmx"}));
}

// ---- Failures: the reason line, and the existing output kept -------------------

struct FailureCase {
  const char* label;
  std::string inputBytes;
  std::string input;
  std::string output;
  std::string expected;  // after the banner
};

void PrintTo(const FailureCase& c, std::ostream* os) { *os << c.label; }

class CliFailure : public testing::TestWithParam<FailureCase> {};

TEST_P(CliFailure, ReportsWhyAndKeepsTheOldOutput) {
  const FailureCase& c = GetParam();
  ScratchFolder folder;
  WriteFileBytes(folder / c.input, c.inputBytes);
  const std::string oldOutput = "old contents\r\n";
  WriteFileBytes(folder / c.output, oldOutput);
  ExpectRun(RunCharflip(folder.path(), {c.input}), kBanner + c.expected);
  EXPECT_EQ(ReadFileBytes(folder / c.output), oldOutput);
  Names expected{c.input, c.output};
  std::sort(expected.begin(), expected.end());
  EXPECT_EQ(folder.List(), expected);
}

std::string Fixture(const char* name) { return ReadFileBytes(DataPath(name)); }

std::string BinaryWithNameHoldingLineFeed() {
  std::string bytes = Fixture("worked_example.bcf");
  bytes[10] = '\n';  // the name "ab" becomes "a\n"
  return bytes;
}

static const FailureCase kFailures[] = {
    {"binary_ends_early", Fixture("refused/ends_in_last_value.bcf"), "g.bcf", "g.cmx",
     "Failed to read file g.bcf\r\nFile ends early (byte offset 32)\r\n"},
    {"binary_text_too_long", Fixture("refused/name_length_100.bcf"), "g.bcf", "g.cmx",
     "Failed to read file g.bcf\r\nText longer than 99 bytes (byte offset 8)\r\n"},
    {"binary_too_many_entries", Fixture("refused/count_31.bcf"), "g.bcf", "g.cmx",
     "Failed to read file g.bcf\r\nEntry count above 30 (byte offset 19)\r\n"},
    {"empty_binary", "", "g.bcf", "g.cmx",
     "Failed to read file g.bcf\r\nFile ends early (byte offset 0)\r\n"},
    {"text_ends_early", Fixture("refused/ends_before_last_value.cmx"), "g.cmx", "g.bcf",
     "Failed to read file g.cmx\r\nFile ends early (line 12)\r\n"},
    {"text_line_too_long", Fixture("refused/entry_line_100.cmx"), "g.cmx", "g.bcf",
     "Failed to read file g.cmx\r\nText line longer than 99 bytes (line 10)\r\n"},
    {"text_too_many_entries", Fixture("refused/count_31.cmx"), "g.cmx", "g.bcf",
     "Failed to read file g.cmx\r\nEntry count above 30 (line 8)\r\n"},
    {"line_break_in_text", BinaryWithNameHoldingLineFeed(), "g.bcf", "g.cmx",
     "Successfully read file g.bcf\r\nFailed to write file g.cmx\r\n"
     "Text holds a CR or LF byte, which the text form cannot carry (line 5)\r\n"},
};
INSTANTIATE_TEST_SUITE_P(Runs, CliFailure, testing::ValuesIn(kFailures),
                         charflip_test::NameByLabel());

TEST(Cli, RefusedTextCreatesNoOutput) {
  ScratchFolder folder;
  WriteFileBytes(folder / "g.bcf", BinaryWithNameHoldingLineFeed());
  const ToolRun run = RunCharflip(folder.path(), {"g.bcf"});
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(folder.List(), Names{"g.bcf"});
}

TEST(Cli, OutputThatIsAFolderIsReportedAndKept) {
  ScratchFolder folder;
  WriteFileBytes(folder / "g.cmx", Fixture("worked_example.cmx"));
  mkdir((folder / "g.bcf").c_str(), 0777);
  ExpectRun(
      RunCharflip(folder.path(), {"g.cmx"}),
      kBanner + "Successfully Read file g.cmx\r\nFailed to write file g.bcf\r\nIs a directory\r\n");
  EXPECT_EQ(folder.List(), (Names{"g.bcf", "g.cmx"}));
}

TEST(Cli, InputThatIsAFolderIsReported) {
  ScratchFolder folder;
  mkdir((folder / "g.bcf").c_str(), 0777);
  ExpectRun(RunCharflip(folder.path(), {"g.bcf"}),
            kBanner + "Failed to read file g.bcf\r\nIs a directory\r\n");
  EXPECT_EQ(folder.List(), Names{"g.bcf"});
}

TEST(Cli, LongestPathIsAccepted) {
  ScratchFolder folder;
  const std::string name = std::string(251, 'p') + ".bcf";  // 255 bytes
  const ToolRun run = RunCharflip(folder.path(), {name});
  EXPECT_EQ(run.out, kBanner + "Failed to read file " + name + "\r\nNo such file or directory\r\n");
}

// ---- Faults of the file system: each reported, the old output kept, no stray file

TEST(CliFault, FileSizeLimitTooSmallForTheOutput) {
  ScratchFolder folder;
  WriteFileBytes(folder / "g.bcf", Fixture("extremes.bcf"));
  WriteFileBytes(folder / "g.cmx", "old");
  Limits limits;
  limits.fileSize = 100;  // the text form of extremes.bcf is 407 bytes
  ExpectRun(
      RunCharflip(folder.path(), {"g.bcf"}, limits),
      kBanner + "Successfully read file g.bcf\r\nFailed to write file g.cmx\r\nFile too large\r\n");
  EXPECT_EQ(ReadFileBytes(folder / "g.cmx"), "old");
  EXPECT_EQ(folder.List(), (Names{"g.bcf", "g.cmx"}));
}

TEST(CliFault, StandardOutputWithNoReaderStillConverts) {
  ScratchFolder folder;
  WriteFileBytes(folder / "g.bcf", Fixture("worked_example.bcf"));
  Limits limits;
  limits.readerGone = true;
  const ToolRun run = RunCharflip(folder.path(), {"g.bcf"}, limits);
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(ReadFileBytes(folder / "g.cmx"), Fixture("worked_example.cmx"));
}

// The permission tests need a user whom permissions bind: root is not.
class CliPermission : public testing::Test {
 protected:
  void SetUp() override {
    if (geteuid() == 0) {
      chmod(folder_.path().c_str(), 0777);
      if (!ExecutableReachableByNobody()) {
        GTEST_SKIP() << "the unprivileged user cannot run " << CHARFLIP_EXECUTABLE;
      }
    }
    WriteFileBytes(folder_ / "g.cmx", Fixture("worked_example.cmx"));
    chmod((folder_ / "g.cmx").c_str(), 0644);
  }

  static bool ExecutableReachableByNobody() {
    const pid_t child = fork();
    if (child == 0) {
      _exit(setgid(kNobody) == 0 && setuid(kNobody) == 0 && access(CHARFLIP_EXECUTABLE, X_OK) == 0
                ? 0
                : 1);
    }
    int status = 0;
    waitpid(child, &status, 0);
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
  }

  ToolRun RunUnprivileged() {
    Limits limits;
    limits.unprivileged = true;
    return RunCharflip(folder_.path(), {"g.cmx"}, limits);
  }

  ScratchFolder folder_;
};

TEST_F(CliPermission, ReadOnlyOutputIsNotReplaced) {
  WriteFileBytes(folder_ / "g.bcf", "kept");
  chmod((folder_ / "g.bcf").c_str(), 0444);
  ExpectRun(RunUnprivileged(), kBanner +
                                   "Successfully Read file g.cmx\r\nFailed to write file g.bcf\r\n"
                                   "Permission denied\r\n");
  EXPECT_EQ(ReadFileBytes(folder_ / "g.bcf"), "kept");
  EXPECT_EQ(folder_.List(), (Names{"g.bcf", "g.cmx"}));
}

TEST_F(CliPermission, ReadOnlyFolderGetsNoOutput) {
  chmod(folder_.path().c_str(), 0555);
  ExpectRun(RunUnprivileged(), kBanner +
                                   "Successfully Read file g.cmx\r\nFailed to write file g.bcf\r\n"
                                   "Permission denied\r\n");
  EXPECT_EQ(folder_.List(), Names{"g.cmx"});
}

TEST_F(CliPermission, UnreadableInputIsReported) {
  chmod((folder_ / "g.cmx").c_str(), 0200);
  ExpectRun(RunUnprivileged(), kBanner + "Failed to read file g.cmx\r\nPermission denied\r\n");
  EXPECT_EQ(folder_.List(), Names{"g.cmx"});
}

}  // namespace
