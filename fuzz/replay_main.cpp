// Runs a fuzz target over files and folders of inputs, without libFuzzer, so
// that the seed corpus and every past finding replay as an ordinary test.
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

namespace {

int ReplayFile(const std::filesystem::path& path) {
  std::vector<uint8_t> bytes;
  if (FILE* file = std::fopen(path.string().c_str(), "rb")) {
    uint8_t chunk[4096];
    size_t got = 0;
    while ((got = std::fread(chunk, 1, sizeof chunk, file)) > 0) {
      bytes.insert(bytes.end(), chunk, chunk + got);
    }
    static_cast<void>(std::fclose(file));
  } else {
    static_cast<void>(std::fprintf(stderr, "cannot open %s\n", path.string().c_str()));
    return 0;
  }
  std::printf("%s\n", path.string().c_str());
  LLVMFuzzerTestOneInput(bytes.data(), bytes.size());
  return 1;
}

}  // namespace

int main(int argc, char** argv) {
  int replayed = 0;
  for (int i = 1; i < argc; ++i) {
    const std::filesystem::path path(argv[i]);
    if (std::filesystem::is_directory(path)) {
      for (const auto& entry : std::filesystem::recursive_directory_iterator(path)) {
        if (entry.is_regular_file()) {
          replayed += ReplayFile(entry.path());
        }
      }
    } else {
      replayed += ReplayFile(path);
    }
  }
  std::printf("replayed %d inputs\n", replayed);
  return replayed > 0 ? 0 : 1;
}
