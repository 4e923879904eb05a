// The position setup document (.skb) without its window: the user places pieces freely (rules off) and
// may leave the side to move unset. Its file is the 62-byte position file of skb_file.h.
#pragma once
#include <string>

#include "record/record_document.h"

namespace record {

class SetupDocument : public RecordDocument {
 public:
  // Placement commands (menu 駒 配置): the board's set-up codes 0..10 (平手, 右香落, 左香落, 飛落, 角落,
  // ２枚落, ４枚落, ６枚落, 駒箱, 飛香落, 角香落).
  static constexpr int kPlacementCount = 11;

  explicit SetupDocument(RecordBoard& board, platform::MessageSink* messages = nullptr);

  // New: the even position, sente to move, rules off.
  void NewSetup();
  // A placement command: the document cleared, the numbered placement set up, the side to move the
  // placement's (sente for 平手, unset for 駒箱, gote for the handicaps). False for an unknown number.
  bool ApplyPlacement(int number);
  // 先手番 / 後手番 / 手番未設定.
  void SetSide(rules::Side side);
  // The bytes handed back to the board window that asked for the setup (局面設定終了).
  std::string SetupBytes() const;

  // Storing writes the position file; loading reads it (rules off). A refused file changes nothing;
  // the result then reports the header as a syntax error and nothing loaded.
  DocumentResult SerializeRecord(Archive& ar, bool selected_only) override;
};

// The side to move after placement command `number`.
rules::Side PlacementSide(int number);

}  // namespace record
