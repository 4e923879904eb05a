#include "record/board_diagram.h"

#include "rules/position.h"

using namespace rules;

namespace record {

const char* const kDiagramPieceNames[16] = {"玉", "飛", "角", "金", "銀", "桂", "香", "歩",
                                            "玉", "龍", "馬", "金", "全", "圭", "杏", "と"};
const char* const kCountNumerals[19] = {"", "一", "二", "三", "四", "五", "六", "七", "八", "九",
                                        "十", "十一", "十二", "十三", "十四", "十五", "十六", "十七", "十八"};

namespace {

// A tsume position: the box holds the attacker's... exactly one king and nothing else.
bool BoxHoldsOnlyOneKing(const Position& position) {
  const PieceStore& box = position.store(kPieceBox);
  return box.total() == 1 && box.Count(OU) == 1;
}

}  // namespace

std::string HandText(const Position& position, Side side) {
  std::string text;
  for (int kind = 0; kind < kKindCount; ++kind) {
    const int n = position.HandCount(side, kind);
    if (n == 0) continue;
    text += kDiagramPieceNames[kind];
    if (n > 1) text += kCountNumerals[n < 19 ? n : 18];
    text += " ";
  }
  return text.empty() ? "なし" : text;
}

void WriteBoardDiagram(const Position& position, std::string_view sente_label, std::string_view gote_label,
                       const std::function<void(std::string_view)>& line) {
  std::string gote_hand = HandText(position, kGote);
  if (gote_hand != "なし" && BoxHoldsOnlyOneKing(position)) gote_hand = "残り全部";
  line(std::string(gote_label) + "持駒：" + gote_hand);
  line("  ９ ８ ７ ６ ５ ４ ３ ２ １");
  line("+---------------------------+");
  for (int rank = 1; rank <= 9; ++rank) {
    std::string row = "|";
    for (int file = 9; file >= 1; --file) {
      const Piece* p = position.PieceAt(BoardIndex::At(file, rank));
      if (!p) {
        row += " ・";
      } else {
        row += p->side() == kGote ? "v" : " ";
        row += kDiagramPieceNames[p->code() & 15];
      }
    }
    line(row + "|" + kCountNumerals[rank]);
  }
  line("+---------------------------+");
  line(std::string(sente_label) + "持駒：" + HandText(position, kSente));
}

}  // namespace record
