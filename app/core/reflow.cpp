#include "app/core/reflow.h"

#include <cstdlib>

#include "platform/sjis.h"

namespace app {

int ReflowColumns(int client_width, int font_width, int font_height) {
  const int char_width = font_width != 0 ? std::abs(font_width) : (std::abs(font_height) + 1) / 2;
  return char_width > 0 ? client_width / char_width : 0;
}

namespace {

bool BreakAt(std::string_view text, size_t i) { return i + 1 < text.size() && text[i] == '\r' && text[i + 1] == '\n'; }

// Single line breaks vanish; a break followed by another CR (a blank line or more) is kept, and so is the
// run that follows it.
std::string Join(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  size_t i = 0;
  while (i < text.size()) {
    if (!BreakAt(text, i)) {
      out += text[i++];
      continue;
    }
    if (i + 2 < text.size() && text[i + 2] == '\r') {
      while (BreakAt(text, i)) {
        out += "\r\n";
        i += 2;
      }
    } else {
      i += 2;
    }
  }
  return out;
}

std::string Wrap(std::string_view text, size_t columns) {
  std::string out, line;
  size_t i = 0;
  while (i < text.size()) {
    if (text[i] == '\r') {
      out += line + "\r\n";
      line.clear();
      i += BreakAt(text, i) ? 2 : 1;
      continue;
    }
    const size_t length = platform::SjisCharLength(text, i);
    if (line.size() + length > columns) {
      // The whole character moves to the next line, its lead byte with it.
      out += line + "\r\n";
      line.clear();
    }
    line.append(text.substr(i, length));
    i += length;
  }
  return out + line;
}

}  // namespace

std::string Reflow(std::string_view cp932, int columns) {
  if (columns < 2) return std::string(cp932);
  return Wrap(Join(cp932), static_cast<size_t>(columns));
}

}  // namespace app
