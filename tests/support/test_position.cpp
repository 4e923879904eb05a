#include "tests/support/test_position.h"

#include <algorithm>
#include <vector>

using namespace rules;

namespace {

// Whether an unpromoted piece of the kind could ever move again from the rank (for its side).
bool Movable(int kind, int side, int rank) {
  int forward_rank = side == SideIndex(kSente) ? rank : 10 - rank;
  if (kind == FU || kind == KY) return forward_rank >= 2;
  if (kind == KE) return forward_rank >= 3;
  return true;
}

}  // namespace

BoardForm RandomBoardForm(std::mt19937& rng, int box_percent, int hand_percent) {
  std::vector<int> squares;
  for (int f = 1; f <= 9; ++f) {
    for (int r = 1; r <= 9; ++r) squares.push_back(f * 10 + r);
  }
  std::shuffle(squares.begin(), squares.end(), rng);
  BoardForm::Expanded entries;
  size_t next = 0;
  for (int i = 0; i < kPieceCount; ++i) {
    const int kind = KindOfIndex(i);
    const int roll = static_cast<int>(rng() % 100);
    BoardForm::Entry& e = entries[i];
    if (roll < box_percent) {
      e = {BoardForm::kBoxLocation, 0, 0};
    } else if (roll < box_percent + hand_percent && kind != OU) {
      uint8_t side = static_cast<uint8_t>(rng() % 2);
      e = {side, side, 0};
    } else {
      const int side = static_cast<int>(rng() % 2);
      const bool can_promote = kind != OU && kind != KI;
      // A pawn, lance or knight that could never move again from its square stands promoted there.
      const bool promoted = can_promote && (rng() % 4 == 0 || !Movable(kind, side, squares[next] % 10));
      e = {static_cast<uint8_t>(squares[next++]), static_cast<uint8_t>(side), static_cast<uint8_t>(promoted)};
    }
  }
  BoardForm form;
  form.Encode(entries);
  return form;
}

void SetRandomPosition(Position& position, std::mt19937& rng, bool with_kings) {
  BoardForm form = RandomBoardForm(rng);
  if (with_kings) {
    // Give each side a king on the board: rewrite the two king entries onto free squares.
    BoardForm::Expanded entries = form.Decode();
    bool used[100] = {};
    for (const auto& e : entries) {
      if (e.location >= 11 && e.location < 100) used[e.location] = true;
    }
    for (int k = 0; k < 2; ++k) {
      if (entries[k].location >= 11 && entries[k].location < 100) used[entries[k].location] = false;
      int sq;
      do {
        sq = (1 + rng() % 9) * 10 + 1 + rng() % 9;
      } while (used[sq]);
      used[sq] = true;
      entries[k] = {static_cast<uint8_t>(sq), static_cast<uint8_t>(k), 0};
    }
    form.Encode(entries);
  }
  position.ApplyBoardForm(form);
  position.BeginRecord();
}
