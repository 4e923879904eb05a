#include "record/plain_board.h"

using namespace rules;

namespace record {

PlainBoard::PlainBoard(PoolSizes sizes, platform::MessageSink* messages) {
  SetMessageSink(messages);
  Piece* pieces[kPieceCount];
  for (int i = 0; i < kPieceCount; ++i) pieces[i] = &parts_.pieces[i];
  PieceStore* boxes[3] = {&parts_.boxes[0], &parts_.boxes[1], &parts_.boxes[2]};
  Init(pieces, &parts_.board, boxes, sizes);
}

}  // namespace record
