#include "record/plain_board.h"

CLBase::CLBase(PoolSizes sizes, platform::MessageSink* messages) {
  SetMessageSink(messages);
  PIECE* pieces[kPieceCount];
  for (int i = 0; i < kPieceCount; ++i) pieces[i] = &parts_.pieces[i];
  HBOX* boxes[3] = {&parts_.boxes[0], &parts_.boxes[1], &parts_.boxes[2]};
  Init(pieces, &parts_.board, boxes, sizes);
}
