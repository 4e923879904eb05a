#include "platform/sjis.h"

namespace platform {

bool SplitsSjisChar(std::string_view text, size_t end) {
  size_t i = 0;
  while (i < end && i < text.size()) i += SjisCharLength(text, i);
  return i > end;
}

std::string CutToWidth(std::string_view text, size_t width) {
  if (text.size() <= width) return std::string(text);
  return std::string(text.substr(0, SplitsSjisChar(text, width) ? width - 1 : width));
}

}  // namespace platform
