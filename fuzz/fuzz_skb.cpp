// Any bytes as a position file: a refused file changes nothing, an accepted one gives a sound board
// whose file reads back to the same position.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "record/archive.h"
#include "record/plain_board.h"
#include "record/setup_document.h"

using namespace rules;
using namespace record;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  PlainBoard board;
  SetupDocument doc(board);
  doc.ApplyPlacement(3);
  const BoardForm before = board.CurrentBoardForm();
  Archive in = Archive::FromBytes(std::string(reinterpret_cast<const char*>(data), size));
  const bool read = doc.Serialize(in).loaded;
  if (!board.CheckConsistency().empty()) std::abort();
  if (!read) {
    if (board.CurrentBoardForm() != before) std::abort();
    return 0;
  }
  PlainBoard other;
  SetupDocument again(other);
  Archive bytes = Archive::FromBytes(doc.SetupBytes());
  if (!again.Serialize(bytes).loaded) std::abort();
  if (other.CurrentBoardForm() != board.CurrentBoardForm() || other.side_to_move() != board.side_to_move() ||
      again.reversed() != doc.reversed()) {
    std::abort();
  }
  return 0;
}
