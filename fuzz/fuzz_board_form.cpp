// 44 bytes from outside (a position file, a database record): checking, decoding and applying never
// break the position, and a valid form comes back unchanged.
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "record/plain_board.h"

using namespace rules;
using namespace record;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < BoardForm::kSize) return 0;
  static PlainBoard board;
  BoardForm form;
  std::memcpy(form.data(), data, BoardForm::kSize);
  const bool valid = form.IsValid();
  board.ApplyBoardForm(form);
  if (!board.CheckConsistency().empty()) std::abort();
  if (valid && board.CurrentBoardForm() != form) {
    // A valid form may list its pieces out of canonical order; re-encoding it must give a fixed point.
    BoardForm canonical;
    canonical.Encode(form.Decode());
    if (board.CurrentBoardForm() != canonical) std::abort();
  }
  BoardForm reversed = form;
  reversed.Reverse();
  reversed.Reverse();
  return 0;
}
