#include "app/core/position_caption.h"

#include "app/core/record_lines.h"
#include "platform/text_codec.h"

namespace app {

std::string PositionCaption(const rules::Position& board) {
  const rules::MoveNode* now = board.current();
  if (!now || now == board.root()) return kTreeRootText;
  std::string caption = std::to_string(board.depth()) + "手目 ";
  caption += now->move.SideBefore() == rules::kSente ? "▲" : "△";
  return caption + platform::Cp932ToUtf8(MoveTextAfterSide(board, *now));
}

std::string TitleWithPly(const std::string& title, int ply) {
  if (ply <= 0) return title;
  return title + " — " + std::to_string(ply) + "手目";
}

}  // namespace app
