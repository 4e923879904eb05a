#include "record/print_lines.h"

#include <vector>

#include "platform/sjis.h"
#include "platform/text_scan.h"
#include "record/archive.h"
#include "record/board_diagram.h"

using namespace rules;

namespace record {

void PrintLines::Line(std::string_view text) {
  ar_.Write(text);
  ar_.Write("\r\n");
  ++state_.line;
  if (state_.printing && state_.line >= state_.lines_per_page) {
    ar_.Write("\f");
    state_.line = 0;
  }
}

void PrintLines::Text(std::string_view text) { ar_.Write(text); }

void PrintLines::Finish() {
  if (state_.printing && state_.line >= 1) {
    ar_.Write("\f");
    state_.line = 0;
  }
}

void WriteWrappedText(PrintLines& out, std::string_view text, int width, std::string_view prefix) {
  const size_t piece_width = std::max<int>(2, width - static_cast<int>(prefix.size()));
  bool first = true;
  while (!text.empty()) {
    const size_t end = text.find("\r\n");
    std::string_view line = text.substr(0, end);
    text = end == std::string_view::npos ? std::string_view() : text.substr(end + 2);
    do {
      size_t cut = std::min(piece_width, line.size());
      if (cut < line.size() && platform::SplitsSjisChar(line, cut)) --cut;
      out.Line(first ? std::string(line.substr(0, cut)) : std::string(prefix).append(line.substr(0, cut)));
      first = false;
      line.remove_prefix(cut);
    } while (!line.empty());
  }
}

void WriteDiagram(PrintLines& out, const Position& position, std::string_view sente_label, std::string_view gote_label) {
  WriteBoardDiagram(position, sente_label, gote_label, [&](std::string_view line) { out.Line(line); });
}

namespace {


// Digits at `at`, then `unit`; the position after the unit, or npos.
size_t DigitsThen(std::string_view s, size_t at, std::string_view unit) {
  const size_t start = at;
  while (at < s.size() && platform::IsDigit(s[at])) ++at;
  if (at == start || s.substr(at, unit.size()) != unit) return std::string_view::npos;
  return at + unit.size();
}

}  // namespace

std::string SplitTimeNote(std::string_view line, std::string* rest) {
  if (rest) *rest = std::string(line);
  const std::string head = platform::CutToWidth(line, 10);
  constexpr size_t npos = std::string_view::npos;
  size_t end = DigitsThen(head, 0, "分。");
  size_t minutes_end = end == npos ? npos : end - std::char_traits<char>::length("。");
  if (end == npos) {
    const size_t after_minutes = DigitsThen(head, 0, "分");
    if (after_minutes != npos) {
      end = DigitsThen(head, after_minutes, "秒。");
      minutes_end = after_minutes;
    }
  }
  if (end == npos) return "";
  if (rest) *rest = std::string(line.substr(end));
  return std::string(head.substr(0, minutes_end));
}

namespace {

std::string PadRight(std::string_view text, size_t width) {
  std::string s(text);
  if (s.size() < width) s.resize(width, ' ');
  return s;
}

bool Begins(std::string_view text, std::string_view prefix) { return text.substr(0, prefix.size()) == prefix; }

}  // namespace

std::string TwoColumnLayout(std::string_view text) {
  std::vector<std::string_view> lines;
  for (size_t at = 0; at < text.size();) {
    const size_t end = text.find("\r\n", at);
    lines.push_back(text.substr(at, end == std::string_view::npos ? std::string_view::npos : end - at));
    if (end == std::string_view::npos) break;
    at = end + 2;
  }
  const bool ends_with_crlf = text.size() >= 2 && text.substr(text.size() - 2) == "\r\n";
  std::string out;
  size_t i = 0;
  for (; i < lines.size(); ++i) {
    out.append(lines[i]).append("\r\n");
    if (Begins(lines[i], "指し手: ------")) break;
  }
  if (i >= lines.size()) return std::string(text);
  ++i;
  const std::string heading = i < lines.size() ? std::string(lines[i++]) : std::string();
  std::vector<std::string_view> rows;
  for (; i < lines.size() && !Begins(lines[i], "指手注釈: ------"); ++i) {
    if (!lines[i].empty()) rows.push_back(lines[i]);
  }
  // Blocks of ten rows, left and right by turns; each pair of blocks prints side by side, a blank line
  // between pairs.
  out += rows.size() > 10 ? heading + std::string(17, ' ') + " " + heading : heading;
  out += "\r\n";
  for (size_t block = 0; block * 10 < rows.size(); block += 2) {
    if (block > 0) out += "\r\n";
    for (size_t r = 0; r < 10 && block * 10 + r < rows.size(); ++r) {
      const size_t right = (block + 1) * 10 + r;
      out += PadRight(rows[block * 10 + r], 51);
      if (right < rows.size()) out += " " + PadRight(rows[right], 51);
      out += "\r\n";
    }
  }
  out += "\r\n";
  for (; i < lines.size(); ++i) {
    out.append(lines[i]);
    if (i + 1 < lines.size() || ends_with_crlf) out += "\r\n";
  }
  return out;
}

}  // namespace record
