// Any bytes for the simple KIF reader, then read into a game document as 柿木棋譜の読込 does.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "record/kif_reader.h"
#include "record/plain_board.h"

using namespace record;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  PlainBoard board;
  GameDocument doc(board);
  ReadKifIntoGame(std::string_view(reinterpret_cast<const char*>(data), size), doc);
  if (!board.CheckConsistency().empty()) std::abort();
  return 0;
}
