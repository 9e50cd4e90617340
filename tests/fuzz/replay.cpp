// Runs a fuzz target over files and directories of inputs, so that every
// target builds with any compiler and its corpus runs as an ordinary test.

#include <dirent.h>
#include <sys/stat.h>

#include <cstdint>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

namespace {

int replayFile(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  if (!file) {
    std::fprintf(stderr, "cannot read %s\n", path.c_str());
    return 1;
  }
  const std::vector<char> bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
  LLVMFuzzerTestOneInput(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
  return 0;
}

} // namespace

int main(int argc, char** argv) {
  int failures = 0, inputs = 0;
  for (int i = 1; i < argc; ++i) {
    struct stat info;
    if (stat(argv[i], &info) != 0) {
      std::fprintf(stderr, "no such input: %s\n", argv[i]);
      return 1;
    }
    if (!S_ISDIR(info.st_mode)) {
      failures += replayFile(argv[i]);
      ++inputs;
      continue;
    }
    DIR* dir = opendir(argv[i]);
    while (dirent* entry = readdir(dir)) {
      if (entry->d_name[0] == '.') continue;
      failures += replayFile(std::string(argv[i]) + "/" + entry->d_name);
      ++inputs;
    }
    closedir(dir);
  }
  std::printf("replayed %d inputs\n", inputs);
  return failures == 0 && inputs > 0 ? 0 : 1;
}
