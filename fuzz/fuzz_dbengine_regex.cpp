// Any bytes as a "matches" expression and a text (split at the first NUL): compiling and searching
// never crash and always end, within the work bound.
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "dbengine/regex.h"
#include "fuzz/fuzz_dbengine_support.h"
#include "dbengine/result_codes.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string_view bytes(reinterpret_cast<const char*>(data), size);
  size_t nul = bytes.find('\0');
  std::string_view pattern = nul == std::string_view::npos ? bytes.substr(0, size / 2) : bytes.substr(0, nul);
  std::string_view text = nul == std::string_view::npos ? bytes.substr(size / 2) : bytes.substr(nul + 1);
  dbengine::Regex re;
  if (re.Compile(pattern) != dbengine::kOk) return 0;
  bool matched;
  int rc = re.Search(text, &matched);
  if (rc != dbengine::kOk && rc != dbengine::kRegexLimit) fuzz_dbengine::Fail(data, size, "check 1");
  // An ASCII pattern without special characters is found wherever it occurs in an ASCII text.
  auto ascii = [](std::string_view s) {
    for (char c : s) {
      if (static_cast<unsigned char>(c) >= 0x80) return false;
    }
    return true;
  };
  if (ascii(pattern) && ascii(text) && pattern.find_first_of("\\.[]*+?^$") == std::string_view::npos &&
      text.find(pattern) != std::string_view::npos && rc == dbengine::kOk && !matched) {
    fuzz_dbengine::Fail(data, size, "check 2");
  }
  return 0;
}
