// The pages of a print job without any printer: how many half-width cells and lines the printable area
// holds at the chosen font size, whether the move list goes into two columns, and the print text cut
// into pages. Printing and the print preview both paint exactly these pages.
//
// Lengths are in points (1/72 inch). Text is laid on a grid of cells: a single-byte character takes one
// cell, a double-byte (full-width) character two, as the print text counts its widths in bytes.
#pragma once
#include <string>
#include <string_view>
#include <vector>

namespace record {
class RecordDocument;
}  // namespace record

namespace app {

// Two 51-byte columns with a blank between them.
constexpr int kTwoColumnWidth = 103;
// The clipboard text's width, which every header line of the print text fits.
constexpr int kOneColumnWidth = 72;
// The largest font size, and the smallest at which the two-column layout is still worth its small type.
constexpr double kLargestFontSize = 10.0;
constexpr double kSmallestTwoColumnFontSize = 8.0;
// Above the text the document title and a blank line, below it a blank line and the page number.
constexpr int kHeaderLines = 2;
constexpr int kFooterLines = 2;

struct PrintGeometry {
  double font_size = kLargestFontSize;  // the em of a full-width character; a cell is half of it
  double line_pitch = kLargestFontSize * 1.25;
  int width = kOneColumnWidth;  // bytes (cells) per line
  int lines_per_page = 60;      // text lines between the header and the footer, at least 1
  bool two_columns = false;

  double cell_width() const { return font_size / 2; }
};

// The geometry for a printable area: the move list goes into two columns when 103 cells fit at a font
// of 8 points or more (A4 portrait with margins up to 14 mm does at 10 points); otherwise one column at
// a font that fits at least 72 cells.
PrintGeometry GeometryFor(double printable_width, double printable_height);

// A page as the lines to draw (CP932, without line ends).
using PrintPage = std::vector<std::string>;

// A text with form feeds after each page (the print text with printing on) cut into its pages; a rest
// after the last form feed that holds anything is a page too.
std::vector<PrintPage> SplitPages(std::string_view text);

// The print text of a game or tsume document on pages of `geometry`: with printing on (a form feed
// after every page full of lines), or, for two columns, laid out in two columns first and then counted
// into pages by the same rule.
std::vector<PrintPage> RecordPages(record::RecordDocument& doc, const PrintGeometry& geometry);

// A plain text (CP932, lines ending in CRLF or LF) wrapped to the width and counted into pages; tabs
// go to the next multiple of 8 cells. An empty text gives one empty page.
std::vector<PrintPage> TextPages(std::string_view text, const PrintGeometry& geometry);

}  // namespace app
