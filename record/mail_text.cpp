// The mail position text (メール用局面出力) of a game document: a short message about the current
// position for correspondence play.
#include "platform/sjis.h"
#include "record/board_diagram.h"
#include "record/record_board.h"
#include "record/record_document.h"
#include "rules/notation.h"

using namespace rules;

namespace record {

namespace {

// "▲７六歩": the side mark and the move text after its side label.
std::string MarkedMove(const Position& position, const MoveNode& n) {
  const std::string text = NodeMoveText(position, n);
  const bool first_side = text.rfind("先手", 0) == 0 || text.rfind("攻方", 0) == 0 || text.rfind("下手", 0) == 0;
  return std::string(first_side ? "▲" : "△") + (text.size() > 4 ? text.substr(4) : std::string());
}

}  // namespace

std::string GameDocument::MailPositionText() {
  const RecordBoard& b = board();
  const int n = b.depth();
  std::string sente, gote;
  const bool problem = GetSideNames(b, sente, gote) == kProblemLabels;
  const std::string current = n >= 1 ? MarkedMove(b, *b.current()) : "";
  const std::string previous = n >= 2 ? MarkedMove(b, *b.current()->parent) : "";
  std::string text;
  if (n >= 2) {
    text += "題名：第" + std::to_string(n) + "手、" + previous + "に" + current + "です。\r\n";
  } else if (n == 1) {
    text += "題名：初手、" + current + " です。\r\n";
  } else if (!problem) {
    text += "題名：よろしくお願いいたします。\r\n";
  }
  if (!problem) text += gote + "：" + header_.GoteName() + "\r\n";
  WriteBoardDiagram(b, sente, gote, [&](std::string_view line) { text.append(line).append("\r\n"); });
  if (!problem) text += sente + "：" + header_.SenteName() + "\r\n";
  if (n >= 2) {
    text += "第" + std::to_string(n) + "手 " + current + " まで\r\n";
  } else if (n == 1) {
    text += "初手 " + current + " まで\r\n";
  } else if (!problem) {
    text += "開始局面 まで\r\n";
  }
  return text;
}

}  // namespace record
