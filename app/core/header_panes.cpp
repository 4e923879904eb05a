#include "app/core/header_panes.h"

#include <cstdio>

#include "app/core/header_form.h"
#include "platform/text_codec.h"
#include "rules/notation.h"

namespace app {
namespace {

using platform::Cp932ToUtf8;
using record::GameHeader;
using record::ProblemHeader;

std::string Utf8Of(const std::string& cp932) { return Cp932ToUtf8(cp932); }

}  // namespace

std::vector<std::string> GameHeaderLines(const GameHeader& h) {
  return {
      "先手: " + Utf8Of(h.SenteName()),
      "後手: " + Utf8Of(h.GoteName()),
      "対局日: " + DigitsToDisplay(record::FieldRule::kDate8, h.Field(GameHeader::kDate)),
      "棋戦名:",
      " " + Utf8Of(h.Field(GameHeader::kEvent)),
      "戦型:",
      " " + Utf8Of(h.Field(GameHeader::kOpening)),
      "対局番号: " + Utf8Of(h.Field(GameHeader::kGameNumber)),
  };
}

std::vector<std::string> ProblemHeaderLines(const ProblemHeader& h) {
  return {
      "表題:",
      " " + Utf8Of(h.Field(ProblemHeader::kTitle)),
      "作者: " + Utf8Of(h.Field(ProblemHeader::kAuthor)),
      "難易度:",
      " " + Utf8Of(h.Field(ProblemHeader::kDifficulty)),
      "ヒント:",
      " " + Utf8Of(h.Field(ProblemHeader::kHint)),
      "出題図: " + Utf8Of(h.ProblemPosition()),
      "詰将番号: " + Utf8Of(h.Field(ProblemHeader::kProblemNumber)),
  };
}

std::vector<std::string> GuideLines(const record::RecordBoard& board, bool game_window) {
  const char* side = "未  定";
  if (board.side_to_move() == rules::kSente) side = game_window ? "先  手" : "攻  方";
  if (board.side_to_move() == rules::kGote) side = game_window ? "後  手" : "受  方";
  std::vector<std::string> lines{std::string("手  番: ") + side};
  const rules::MoveNode* current = board.current();
  if (board.depth() == 0) {
    lines.push_back("指し手: 初手");
  } else {
    char ply[32];
    std::snprintf(ply, sizeof ply, "指し手: %3d 手目", board.depth());
    lines.push_back(ply);
    lines.push_back(Cp932ToUtf8(rules::NodeMoveText(board, *current)));
  }
  if (!current->child) lines.push_back("まで");
  return lines;
}

}  // namespace app
