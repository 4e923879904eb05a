// Positions from outside (a problem file, a database record) through the mate search. The bytes place
// the pieces, so every input is a position: byte 0 the side to move (0, 1 or 2), byte 1 the maximum
// depth (1..3), then two bytes per piece 0..39: where (value % 100: 0-80 a square, taken in order,
// 81-89 sente's hand, 90-98 gote's hand, 99 the box; a square already taken sends the piece to the box)
// and how (bit 0 owner, bit 1 promoted where the kind can be). Whatever the position - pieces where no
// move leads, the defender already in check, kings missing - the search ends, leaves the board where it
// started, and any solution it writes passes the independent judge.
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "record/plain_board.h"
#include "solver/mate_engine.h"
#include "tests/support/reference_rules.h"
#include "tests/support/solution_check.h"

using namespace rules;
using namespace record;
using namespace solver;

namespace {

constexpr size_t kInputSize = 2 + 2 * kPieceCount;

BoardForm FormOf(const uint8_t* data) {
  BoardForm::Expanded entries;
  bool taken[100] = {};
  for (int i = 0; i < kPieceCount; ++i) {
    const int where = data[2 * i] % 100, how = data[2 * i + 1];
    const int kind = KindOfIndex(i);
    BoardForm::Entry& e = entries[i];
    if (where <= 80) {
      const int square = (where / 9 + 1) * 10 + where % 9 + 1;
      if (taken[square]) continue;  // stays in the box
      taken[square] = true;
      const bool can_promote = kind != OU && kind != KI;
      e = {static_cast<uint8_t>(square), static_cast<uint8_t>(how & 1), static_cast<uint8_t>(can_promote && (how & 2))};
    } else if (where < 99 && kind != OU) {
      const uint8_t hand = where <= 89 ? 0 : 1;
      e = {hand, hand, 0};
    }
  }
  BoardForm form;
  form.Encode(entries);
  return form;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < kInputSize) return 0;
  static PlainBoard board;
  board.ApplyBoardForm(FormOf(data + 2));
  board.SetSideToMove(static_cast<Side>(data[0] % 3));
  board.BeginRecord();
  const BoardForm start = board.CurrentBoardForm();

  MateEngine engine(board);
  engine.Solve(1 + data[1] % 3, nullptr, nullptr);
  if (board.current() != board.root() || board.CurrentBoardForm() != start) std::abort();
  if (!board.CheckConsistency().empty()) std::abort();
  if (SolutionWritten(engine.outcome())) {
    const RefPosition ref = Snapshot(board);
    // The judge starts from a lawful problem: the defender not in check already.
    if (!RefKingAttacked(ref, SideIndex(Opponent(board.side_to_move()))) && !CheckSolutionTree(board).error.empty()) std::abort();
  }
  return 0;
}
