// Replays saved inputs through a fuzz target without libFuzzer: every file named on the command
// line, or every file of a folder named there, is run once. A crash, a sanitizer report or a
// leak fails the run; that is how the regression inputs are checked on every test run.
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

namespace {

int RunFile(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    std::fprintf(stderr, "cannot read %s\n", path.c_str());
    return 1;
  }
  std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  // An empty vector has no data pointer; the targets get a valid one all the same.
  static const uint8_t kNone = 0;
  LLVMFuzzerTestOneInput(bytes.empty() ? &kNone : bytes.data(), bytes.size());
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  int failures = 0, runs = 0;
  for (int i = 1; i < argc; ++i) {
    std::filesystem::path arg(argv[i]);
    std::error_code ec;
    if (std::filesystem::is_directory(arg, ec)) {
      for (const auto& entry : std::filesystem::recursive_directory_iterator(arg)) {
        if (!entry.is_regular_file() || entry.path().filename() == ".gitkeep") continue;
        failures += RunFile(entry.path());
        ++runs;
      }
    } else if (std::filesystem::exists(arg, ec)) {
      failures += RunFile(arg);
      ++runs;
    }
  }
  std::printf("%d inputs replayed\n", runs);
  return failures == 0 ? 0 : 1;
}
