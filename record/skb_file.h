// The position setup file (.skb): one position, no moves, no header. The same bytes hand a finished
// setup back to the board window that asked for it.
//
//   offset  size  field
//        0    10  magic, the ASCII characters "WINKZB.SKB" (no terminator)
//       10    44  board form of the position (rules/board_form.h)
//       54     4  side to move, u32 little-endian: 0 sente, 1 gote, 2 not set
//       58     4  board-reversed flag, u32 little-endian: 0 sente at the bottom, 1 gote (後手座)
//                 62 bytes in all
#pragma once
#include <cstddef>
#include <string>

#include "platform/message_sink.h"
#include "rules/side.h"

namespace rules {
class Position;
}  // namespace rules

namespace record {

class Archive;
class RecordBoard;

constexpr size_t kSkbSize = 62;
extern const char kSkbMagic[10];

// The 62 bytes of a position with its side to move and the reversed flag.
std::string SkbBytes(const rules::Position& position, rules::Side side_to_move, int reversed);
void WriteSkb(const rules::Position& position, int reversed, Archive& ar);

// Reads a position file from the archive into the board: the pieces as the form says, a new empty record,
// then the side to move; `reversed` receives the stored flag. The whole file is checked first (magic,
// length, a form every byte of which describes a real place, side 0..2, flag 0..1): when anything is
// wrong, "ファイル形式が違います" is shown, false is returned and nothing changes.
bool ReadSkb(Archive& ar, RecordBoard& board, int& reversed, platform::MessageSink& messages);

}  // namespace record
