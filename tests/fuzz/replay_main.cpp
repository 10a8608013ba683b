// Runs a fuzz target over stored inputs without libFuzzer, so that the
// normal native test run replays every committed corpus.
//
// Usage: replay_<target> <file or directory>...  A directory is read file
// by file in name order. Fails when nothing at all was replayed, so that a
// lost corpus does not pass silently.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

namespace fs = std::filesystem;

namespace {

void ReplayFile(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::vector<char> bytes((std::istreambuf_iterator<char>(in)),
                          std::istreambuf_iterator<char>());
  // An exact-size heap copy, so that reading past the input is caught by
  // the address sanitizer.
  uint8_t* data = new uint8_t[bytes.size() ? bytes.size() : 1];
  std::copy(bytes.begin(), bytes.end(), data);
  std::fprintf(stderr, "replay %s (%zu bytes)\n", path.string().c_str(),
               bytes.size());
  LLVMFuzzerTestOneInput(data, bytes.size());
  delete[] data;
}

}  // namespace

int main(int argc, char** argv) {
  size_t replayed = 0;
  for (int i = 1; i < argc; ++i) {
    fs::path arg(argv[i]);
    std::vector<fs::path> files;
    if (fs::is_directory(arg)) {
      for (const auto& entry : fs::directory_iterator(arg)) {
        if (entry.is_regular_file()) files.push_back(entry.path());
      }
      std::sort(files.begin(), files.end());
    } else if (fs::is_regular_file(arg)) {
      files.push_back(arg);
    } else {
      std::fprintf(stderr, "no such input: %s\n", argv[i]);
      return 1;
    }
    for (const auto& file : files) ReplayFile(file);
    replayed += files.size();
  }
  std::printf("replayed %zu inputs\n", replayed);
  return replayed > 0 ? 0 : 1;
}
