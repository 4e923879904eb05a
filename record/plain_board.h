// A record board without display: it owns plain pieces, a board and the three boxes. Conversions, the
// databases, the joseki browser and the temporary copies of the text outputs work on it.
#pragma once
#include "record/record_board.h"

namespace record {

// The physical parts of a board without display.
struct PlainParts {
  rules::Piece pieces[rules::kPieceCount];
  rules::Board board;
  rules::PieceStore boxes[3];
};

class PlainBoard : public RecordBoard {
 public:
  // Pool sizes of a temporary copy of a record.
  static constexpr PoolSizes kCopyPool{10, 200, 150000};

  explicit PlainBoard(PoolSizes sizes = {}, platform::MessageSink* messages = nullptr);

 private:
  PlainParts parts_;
};

}  // namespace record
