// Runs a fuzz target over files and folders of inputs, without libFuzzer, so
// that the seed corpus and every past finding replay as an ordinary test.
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

namespace {

// Replays one file; false if it cannot be read.
bool ReplayFile(const std::filesystem::path& path) {
  FILE* file = std::fopen(path.string().c_str(), "rb");
  if (file == nullptr) {
    static_cast<void>(std::fprintf(stderr, "cannot open %s\n", path.string().c_str()));
    return false;
  }
  std::vector<uint8_t> bytes;
  uint8_t chunk[4096];
  size_t got = 0;
  while ((got = std::fread(chunk, 1, sizeof chunk, file)) > 0) {
    bytes.insert(bytes.end(), chunk, chunk + got);
  }
  static_cast<void>(std::fclose(file));
  std::printf("%s\n", path.string().c_str());
  LLVMFuzzerTestOneInput(bytes.data(), bytes.size());
  return true;
}

// Replays every file in a folder but its dot files (such as .keep); returns
// how many, or -1 if one cannot be read.
int ReplayFolder(const std::filesystem::path& folder) {
  int replayed = 0;
  for (const auto& entry : std::filesystem::recursive_directory_iterator(folder)) {
    if (!entry.is_regular_file() || entry.path().filename().string().front() == '.') {
      continue;
    }
    if (!ReplayFile(entry.path())) {
      return -1;
    }
    ++replayed;
  }
  return replayed;
}

}  // namespace

// Each argument is a file or a folder of inputs. A missing or unreadable
// input fails the run, and so does a corpus folder with no input, so that a
// wrong path cannot pass for a clean replay. A regressions folder may be
// empty (it holds only .keep until a fuzzer first finds something).
int main(int argc, char** argv) {
  int replayed = 0;
  for (int i = 1; i < argc; ++i) {
    const std::filesystem::path path(argv[i]);
    if (std::filesystem::is_directory(path)) {
      const int count = ReplayFolder(path);
      const bool mayBeEmpty =
          path.filename() == "regressions" || path.parent_path().filename() == "regressions";
      if (count < 0 || (count == 0 && !mayBeEmpty)) {
        static_cast<void>(std::fprintf(stderr, "no inputs replayed from %s\n", argv[i]));
        return 1;
      }
      replayed += count;
    } else if (!ReplayFile(path)) {
      return 1;
    }
  }
  std::printf("replayed %d inputs\n", replayed);
  return replayed > 0 ? 0 : 1;
}
