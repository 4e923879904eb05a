// A plain fuzz driver: replays every corpus file given (files or folders), then runs seeded random
// mutations of them (byte flips, inserts, deletes, duplicated runs, splices, interesting bytes).
// Usage: target [-runs=N] [-seed=S] [-max_len=L] PATH...
// The target function is the libFuzzer one, so a target also links with -fsanitize=fuzzer where the
// compiler allows it.
#include <dirent.h>
#include <sys/stat.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <random>
#include <sstream>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

namespace {

void Collect(const std::string& path, std::vector<std::string>& files) {
  struct stat st;
  if (stat(path.c_str(), &st) != 0) return;
  if (!S_ISDIR(st.st_mode)) {
    files.push_back(path);
    return;
  }
  DIR* dir = opendir(path.c_str());
  if (!dir) return;
  while (dirent* e = readdir(dir)) {
    if (e->d_name[0] != '.') Collect(path + "/" + e->d_name, files);
  }
  closedir(dir);
}

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream ss;
  ss << in.rdbuf();
  return ss.str();
}

void Run(const std::string& input) {
  // A copy in its own allocation, so reading past the end is caught by AddressSanitizer.
  std::vector<uint8_t> copy(input.begin(), input.end());
  LLVMFuzzerTestOneInput(copy.empty() ? nullptr : copy.data(), copy.size());
}

std::string Mutate(std::string s, const std::vector<std::string>& corpus, std::mt19937& rng,
                   size_t max_len) {
  static const uint8_t kInteresting[] = {0, 1, 0x7F, 0x80, 0x81, 0x9F, 0xE0, 0xFC, 0xFF,
                                         '\r', '\n', ' ', '-', '+', '\'', '0', '9', ',', '/'};
  int steps = 1 + rng() % 4;
  for (int i = 0; i < steps; ++i) {
    size_t pos = s.empty() ? 0 : rng() % (s.size() + 1);
    switch (rng() % 7) {
      case 0:
        if (!s.empty() && pos < s.size()) s[pos] ^= static_cast<char>(1u << (rng() % 8));
        break;
      case 1:
        s.insert(pos, 1, static_cast<char>(kInteresting[rng() % sizeof kInteresting]));
        break;
      case 2:
        if (!s.empty()) s.erase(pos < s.size() ? pos : s.size() - 1, 1 + rng() % 8);
        break;
      case 3:
        if (!s.empty()) {
          size_t from = rng() % s.size();
          size_t len = 1 + rng() % std::min<size_t>(64, s.size() - from);
          s.insert(pos, s.substr(from, len));
        }
        break;
      case 4: {
        const std::string& other = corpus[rng() % corpus.size()];
        if (!other.empty()) {
          size_t from = rng() % other.size();
          s.insert(pos, other.substr(from, 1 + rng() % 128));
        }
        break;
      }
      case 5:
        if (pos < s.size()) s[pos] = static_cast<char>(rng());
        break;
      default:
        if (pos < s.size()) s.resize(pos);
        break;
    }
  }
  if (s.size() > max_len) s.resize(max_len);
  return s;
}

}  // namespace

int main(int argc, char** argv) {
  long runs = 0;
  unsigned seed = 12345;
  size_t max_len = 1 << 16;
  std::vector<std::string> files;
  for (int i = 1; i < argc; ++i) {
    if (std::strncmp(argv[i], "-runs=", 6) == 0) runs = std::atol(argv[i] + 6);
    else if (std::strncmp(argv[i], "-seed=", 6) == 0) seed = std::strtoul(argv[i] + 6, nullptr, 10);
    else if (std::strncmp(argv[i], "-max_len=", 9) == 0) max_len = std::strtoul(argv[i] + 9, nullptr, 10);
    else Collect(argv[i], files);
  }
  std::vector<std::string> corpus;
  for (const auto& f : files) corpus.push_back(ReadFile(f));
  if (corpus.empty()) corpus.emplace_back();
  for (const auto& c : corpus) Run(c);
  std::mt19937 rng(seed);
  for (long i = 0; i < runs; ++i) Run(Mutate(corpus[rng() % corpus.size()], corpus, rng, max_len));
  std::printf("%zu corpus inputs, %ld mutated runs: clean\n", corpus.size(), runs);
  return 0;
}
