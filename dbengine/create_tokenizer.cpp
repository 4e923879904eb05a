#include "dbengine/create_tokenizer.h"

#include <cstring>

#include "platform/sjis.h"

namespace dbengine {
namespace {

bool IsTokenChar(char c) { return c != '\0' && std::strchr("!\"#Q$%&'()=-`^|{}[]~@*+;?.,<>", c) != nullptr; }

}  // namespace

bool IsBlank(char c) { return c == '\t' || c == '\n' || c == '\r' || c == ' '; }

std::vector<std::string> TokenizeCreate(std::string_view s) {
  std::vector<std::string> tokens;
  size_t i = 0;
  while (i < s.size()) {
    if (IsBlank(s[i])) {
      ++i;
      continue;
    }
    if (s[i] == '"') {
      size_t close = s.find('"', i + 1);
      size_t end = close == std::string_view::npos ? s.size() : close + 1;
      tokens.emplace_back(s.substr(i, end - i));
      i = end;
      continue;
    }
    if (IsTokenChar(s[i])) {
      tokens.emplace_back(1, s[i++]);
      continue;
    }
    size_t start = i;
    while (i < s.size()) {
      size_t n = platform::SjisCharLength(s, i);
      if (n == 1 && (IsBlank(s[i]) || IsTokenChar(s[i]))) break;
      i += n;
    }
    tokens.emplace_back(s.substr(start, i - start));
  }
  return tokens;
}

}  // namespace dbengine
