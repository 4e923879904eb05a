#include "app/core/pane_text.h"

#include "platform/sjis.h"

namespace app {
namespace {

bool IsSeparator(char c) { return c == '/' || c == '\\'; }

}  // namespace

std::string ShortenForPane(std::string_view path, int room) {
  if (room < 0) room = 0;
  if (path.size() <= static_cast<size_t>(room)) return std::string(path);
  size_t drop = path.size() - room;
  if (platform::SplitsSjisChar(path, drop)) ++drop;
  std::string kept(path.substr(drop));
  size_t i = 0;
  for (; i < 2 && i < kept.size(); ++i) {
    if (IsSeparator(kept[i])) return kept;
    kept[i] = '.';
  }
  if (i < kept.size() && !IsSeparator(kept[i]) && !platform::IsSjisLeadByte(static_cast<unsigned char>(kept[i]))) {
    kept[i] = '.';
  }
  return kept;
}

}  // namespace app
