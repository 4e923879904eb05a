#include "record/kakinoki_diagram.h"

#include "platform/text_scan.h"
#include "record/board_diagram.h"
#include "record/csa_position_lines.h"
#include "record/kakinoki_text.h"
#include "rules/board_form.h"
#include "rules/notation.h"
#include "rules/piece_code.h"

using namespace rules;

namespace record {

namespace {

// The CSA code of a piece name of diagrams and hands (kind + 8 when promoted); -1 when the text starts
// with none.
int DiagramPiece(std::string_view& s) {
  static const struct {
    const char* name;
    int code;
  } kNames[] = {{"玉", OU}, {"王", OU}, {"飛", HI}, {"角", KA}, {"金", KI}, {"銀", GI}, {"桂", KE}, {"香", KY},
                {"歩", FU}, {"龍", HI + 8}, {"竜", HI + 8}, {"馬", KA + 8}, {"全", GI + 8}, {"圭", KE + 8},
                {"杏", KY + 8}, {"と", FU + 8}};
  for (const auto& n : kNames) {
    if (platform::ConsumePrefix(s, n.name)) return n.code;
  }
  return -1;
}

}  // namespace

void KakinokiDiagram::Spoil(std::string_view line) {
  if (problem_.empty()) problem_ = "局面図が読めません(" + std::string(line) + ")";
}

// "飛　角二　歩十七", "なし" or "残り全部".
bool KakinokiDiagram::TakeHand(std::string_view list, Side side) {
  std::string& hand = hands_[SideIndex(side)];
  hand.clear();
  list = SkipKakinokiBlanks(list);
  if (platform::ConsumePrefix(list, "なし")) return SkipKakinokiBlanks(list).empty();
  if (platform::ConsumePrefix(list, "残り全部")) {
    rest_to_[SideIndex(side)] = true;
    return SkipKakinokiBlanks(list).empty();
  }
  while (!(list = SkipKakinokiBlanks(list)).empty()) {
    const int code = DiagramPiece(list);
    if (code <= OU || code >= 8) return false;  // kings and promoted pieces are never held
    int count = 1;
    for (int n = 18; n >= 1; --n) {
      if (platform::ConsumePrefix(list, kCountNumerals[n])) {
        count = n;
        break;
      }
    }
    for (int i = 0; i < count; ++i) hand += std::string("00") + kCsaPieceCodes[code];
  }
  return true;
}

// "|v香v桂 ・ ・v玉 ・ ・v桂v香|一".
bool KakinokiDiagram::TakeRow(std::string_view line) {
  std::string row;
  std::string_view cells = line.substr(1);
  for (int file = 9; file >= 1; --file) {
    if (cells.size() < 3 || (cells[0] != ' ' && cells[0] != 'v')) return false;
    const char mark = cells[0];
    cells.remove_prefix(1);
    if (platform::ConsumePrefix(cells, "・")) {
      row += " * ";
      continue;
    }
    const int code = DiagramPiece(cells);
    if (code < 0) return false;
    row += std::string(mark == 'v' ? "-" : "+") + kCsaPieceCodes[code];
  }
  if (!platform::ConsumePrefix(cells, "|")) return false;
  for (int rank = 1; rank <= 9; ++rank) {
    if (platform::ConsumePrefix(cells, kRankNumerals[rank])) {
      if (!rows_[rank].empty() || !SkipKakinokiBlanks(cells).empty()) return false;
      rows_[rank] = "P" + std::to_string(rank) + row;
      return true;
    }
  }
  return false;  // a row without its rank cannot be placed
}

bool KakinokiDiagram::Take(std::string_view raw) {
  std::string_view line = SkipKakinokiBlanks(raw);
  static const struct {
    const char* key;
    Side side;
  } kHands[] = {{"先手の持駒", kSente}, {"下手の持駒", kSente}, {"後手の持駒", kGote}, {"上手の持駒", kGote}};
  for (const auto& h : kHands) {
    std::string_view list = line;
    if (!platform::ConsumePrefix(list, h.key)) continue;
    platform::ConsumePrefix(list, "：");
    present_ = true;
    if (!TakeHand(list, h.side)) Spoil(raw);
    return true;
  }
  static const struct {
    const char* key;
    Side side;
  } kTurns[] = {{"先手番", kSente}, {"下手番", kSente}, {"後手番", kGote}, {"上手番", kGote}};
  for (const auto& t : kTurns) {
    std::string_view rest = line;
    if (platform::ConsumePrefix(rest, t.key) && SkipKakinokiBlanks(rest).empty()) {
      side_ = t.side;
      return true;
    }
  }
  if (line.starts_with("手数＝")) return true;
  if (line.starts_with("９ ８") || line.starts_with("９　８")) return true;
  if (!line.starts_with("+-") && !line.starts_with("|")) return false;
  present_ = true;
  if (line[0] == '|' && !TakeRow(line)) Spoil(raw);
  return true;
}

std::string KakinokiDiagram::Problem() const {
  if (!problem_.empty()) return problem_;
  for (int rank = 1; rank <= 9; ++rank) {
    if (rows_[rank].empty()) return std::string("局面図の") + kRankNumerals[rank] + "段目がありません";
  }
  // More pieces of a kind than the game has cannot be placed.
  rules::BoardForm::Expanded pieces;
  for (const std::string& line : PositionLines()) {
    if (!ApplyCsaPositionLine(line, CsaPolicy::kStrict, pieces)) return "局面図の駒の数が合いません";
  }
  return "";
}

std::vector<std::string> KakinokiDiagram::PositionLines() const {
  std::vector<std::string> lines(rows_ + 1, rows_ + 10);
  for (Side side : {kSente, kGote}) {
    if (!hands_[SideIndex(side)].empty()) lines.push_back((side == kSente ? "P+" : "P-") + hands_[SideIndex(side)]);
  }
  // The rest goes last, when every other piece has its place.
  for (Side side : {kSente, kGote}) {
    if (rest_to_[SideIndex(side)]) lines.push_back(side == kSente ? "P+00AL" : "P-00AL");
  }
  return lines;
}

}  // namespace record
