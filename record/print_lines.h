// Writing the lines of a print text: the line counter and page breaks of a document's print state, and
// text wrapped to the page width.
#pragma once
#include <string>
#include <string_view>

#include "record/record_document.h"

namespace rules {
class Position;
}  // namespace rules

namespace record {

class Archive;

// Every line written through Line() ends in CRLF and counts one. When printing, a page full of lines is
// followed by a form feed (byte 12) and the counter starts again at 0.
class PrintLines {
 public:
  PrintLines(Archive& ar, PrintState& state) : ar_(ar), state_(state) {}

  void Line(std::string_view text);
  // Text without a line end and without counting (the first half of a two-move row).
  void Text(std::string_view text);
  // The final form feed of a document's text, when printing and the page is not empty.
  void Finish();
  int width() const { return state_.width; }

 private:
  Archive& ar_;
  PrintState& state_;
};

// Writes a text of CRLF lines wrapped to `width` bytes: each line is cut into pieces of at most
// width - prefix bytes (never fewer than 2), never inside a double-byte character. The first piece of
// the whole text is written as it is (it may complete a line already begun), every later piece after
// the prefix; each piece counts one line.
void WriteWrappedText(PrintLines& out, std::string_view text, int width, std::string_view prefix);

// The board diagram of a position, each line counted.
void WriteDiagram(PrintLines& out, const rules::Position& position, std::string_view sente_label, std::string_view gote_label);

// A leading time note of a move's first annotation line: minutes and "分。", or minutes, "分", seconds and
// "秒。", within the first 10 bytes. Returns the note as shown ("12分") and sets `rest` to the line
// without it; returns "" (and `rest` = line) when the line has none.
std::string SplitTimeNote(std::string_view first_line, std::string* rest = nullptr);

// The two-column page layout of a print text for the printing views: the move rows dealt in blocks of
// ten lines to a left and a right column (51 bytes each), everything else unchanged.
std::string TwoColumnLayout(std::string_view print_text);

}  // namespace record
