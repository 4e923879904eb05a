#include "app/core/print_pages.h"

#include <algorithm>
#include <cmath>

#include "platform/sjis.h"
#include "record/archive.h"
#include "record/print_lines.h"
#include "record/record_document.h"

namespace app {

namespace {

constexpr double kLinePitch = 1.25;  // line distance per em: full-width glyphs fill their em
constexpr double kRounding = 1e-6;   // a size computed to fit exactly must not lose its last cell
constexpr int kTabCells = 8;

// The largest font size up to 10 points at which `cells` half-width cells fit in `width`.
double FontFitting(double width, int cells) { return std::min(kLargestFontSize, width / (cells / 2.0)); }

// Counts lines into pages as the print text's line counter does.
std::string Paginate(std::string_view text, int lines_per_page, bool wrap, int width) {
  record::Archive ar = record::Archive::ToMemory(text.size() + 256);
  record::PrintState state;
  state.width = width;
  state.lines_per_page = lines_per_page;
  state.printing = true;
  record::PrintLines out(ar, state);
  if (wrap) {
    record::WriteWrappedText(out, text, width, "");
  } else {
    for (size_t at = 0; at < text.size();) {
      const size_t end = text.find("\r\n", at);
      out.Line(text.substr(at, end == std::string_view::npos ? std::string_view::npos : end - at));
      if (end == std::string_view::npos) break;
      at = end + 2;
    }
  }
  out.Finish();
  return ar.text();
}

// CRLF line ends, and tabs as blanks up to the next tab stop (cells counted as bytes).
std::string NormalizeText(std::string_view text) {
  std::string out;
  out.reserve(text.size() + text.size() / 8);
  size_t column = 0;
  for (size_t i = 0; i < text.size();) {
    const char c = text[i];
    if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') {
      ++i;
      continue;
    }
    if (c == '\n' || c == '\r') {
      out += "\r\n";
      column = 0;
      ++i;
    } else if (c == '\t') {
      const size_t next = (column / kTabCells + 1) * kTabCells;
      out.append(next - column, ' ');
      column = next;
      ++i;
    } else {
      const size_t n = platform::SjisCharLength(text, i);
      out.append(text.substr(i, n));
      column += n;
      i += n;
    }
  }
  return out;
}

}  // namespace

PrintGeometry GeometryFor(double printable_width, double printable_height) {
  PrintGeometry g;
  g.font_size = FontFitting(printable_width, kTwoColumnWidth);
  g.two_columns = g.font_size >= kSmallestTwoColumnFontSize;
  if (!g.two_columns) g.font_size = FontFitting(printable_width, kOneColumnWidth);
  g.font_size = std::max(g.font_size, 1.0);
  g.line_pitch = g.font_size * kLinePitch;
  g.width = std::max(2, static_cast<int>(std::floor(printable_width / g.cell_width() + kRounding)));
  const int lines = static_cast<int>(std::floor(printable_height / g.line_pitch + kRounding));
  g.lines_per_page = std::max(1, lines - kHeaderLines - kFooterLines);
  return g;
}

std::vector<PrintPage> SplitPages(std::string_view text) {
  std::vector<PrintPage> pages;
  PrintPage page;
  for (size_t at = 0; at < text.size();) {
    if (text[at] == '\f') {
      pages.push_back(std::move(page));
      page.clear();
      ++at;
      continue;
    }
    size_t end = text.find_first_of("\r\f", at);
    if (end == std::string_view::npos) end = text.size();
    page.emplace_back(text.substr(at, end - at));
    at = end;
    if (at < text.size() && text[at] == '\r') at += text.substr(at, 2) == "\r\n" ? 2 : 1;
  }
  if (!page.empty()) pages.push_back(std::move(page));
  return pages;
}

std::vector<PrintPage> RecordPages(record::RecordDocument& doc, const PrintGeometry& geometry) {
  if (!geometry.two_columns) return SplitPages(doc.GetRecordText(geometry.width, geometry.lines_per_page, true));
  // The layout needs the whole move list at once, so the text is written unpaged and counted afterwards.
  const std::string columns = record::TwoColumnLayout(doc.GetRecordText(geometry.width, 9999, false));
  return SplitPages(Paginate(columns, geometry.lines_per_page, false, geometry.width));
}

std::vector<PrintPage> TextPages(std::string_view text, const PrintGeometry& geometry) {
  std::vector<PrintPage> pages =
      SplitPages(Paginate(NormalizeText(text), geometry.lines_per_page, true, geometry.width));
  if (pages.empty()) pages.emplace_back();
  return pages;
}

}  // namespace app
