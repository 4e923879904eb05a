// Any bytes as an SFEN or a USI position line: reading never breaks the board, and what was read writes
// back to a line that reads to the same position and the same moves.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "record/plain_board.h"
#include "record/sfen.h"

using namespace record;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  SfenPosition position;
  ReadSfen(bytes, position);
  LooksLikeSfenOrUsi(bytes);
  UsiLine line;
  if (!ReadUsiLine(bytes, line).empty()) return 0;
  PlainBoard board;
  LoadUsiLine(line, board);
  if (!board.CheckConsistency().empty()) std::abort();
  const std::string written = RecordUsiLine(board);
  UsiLine again;
  if (!ReadUsiLine(written, again).empty()) std::abort();
  PlainBoard again_board;
  if (!LoadUsiLine(again, again_board).empty()) std::abort();
  if (RecordUsiLine(again_board) != written) std::abort();
  if (!(again_board.CurrentBoardForm() == board.CurrentBoardForm())) std::abort();
  return 0;
}
