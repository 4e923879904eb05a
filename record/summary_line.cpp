#include "record/summary_line.h"

#include <cstdio>

#include "platform/sjis.h"

namespace record {

const char kGameListHeading[] = "対局NO  対局日   対局者                結果   戦型      棋戦名";
const char kProblemListHeading[] = "詰将NO  作者          詰手数  表題              難易度       出題図";

std::string CutOrPad(std::string_view text, size_t width) {
  std::string s = platform::CutToWidth(text, width);
  s.resize(width, ' ');
  return s;
}

namespace {

// Right-aligned in a field of `width` bytes, as "%Ns" does.
std::string RightAligned(const std::string& text, size_t width) {
  return text.size() >= width ? text : std::string(width - text.size(), ' ') + text;
}

}  // namespace

std::string GameListLine(const GameHeader& h, int opening_width) {
  const std::string& opening = h.Field(GameHeader::kOpening);
  const std::string& event = h.Field(GameHeader::kEvent);
  return h.Field(GameHeader::kGameNumber) + " " + RightAligned(h.Field(GameHeader::kDate), 8) + " " +
         CutOrPad(h.Players(), 21) + " " + RightAligned(h.Field(GameHeader::kResult), 6) + " " +
         CutOrPad(opening.empty() ? "戦型不詳" : opening, opening_width) + " " + (event.empty() ? "棋戦不詳" : event);
}

// The fields are padded to the columns of the heading, as the fixed-width rows they come from once were:
// trimmed, an author ran into the move count and every column after it slid.
std::string ProblemListLine(const ProblemHeader& h) {
  return h.Field(ProblemHeader::kProblemNumber) + " " + CutOrPad(h.Field(ProblemHeader::kAuthor), 14) +
         RightAligned(h.Field(ProblemHeader::kMateLength), 4) + " 手詰 " + CutOrPad(h.Field(ProblemHeader::kTitle), 16) +
         " " + CutOrPad(h.Field(ProblemHeader::kDifficulty), 12) + " " + RightAligned(h.ProblemPosition(), 8);
}

}  // namespace record
