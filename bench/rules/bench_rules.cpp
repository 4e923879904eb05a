// Baseline figures for the mate search: the direct move forms and the attack map.
#include <benchmark/benchmark.h>

#include <random>
#include <vector>

#include "rules/move_rules.h"
#include "tests/support/test_position.h"

using namespace rules;

namespace {

// Random positions, each with up to 16 moves the validation accepts.
struct Workload {
  std::vector<BoardForm> forms;
  std::vector<std::vector<MoveNode>> moves;
};

Workload MakeWorkload() {
  Workload w;
  std::mt19937 rng(2026);
  TestPosition pos;
  while (w.forms.size() < 64) {
    SetRandomPosition(pos, rng);
    pos.SetTurnOrder(0);
    std::vector<MoveNode> moves;
    for (int tries = 0; tries < 4000 && moves.size() < 16; ++tries) {
      const Piece& p = pos.piece(static_cast<int>(rng() % kPieceCount));
      if (p.location() == kPieceBox) continue;
      const BoardIndex to = BoardIndex::At(1 + static_cast<int>(rng() % 9), 1 + static_cast<int>(rng() % 9));
      MoveNode node;
      node.move = pos.BuildMoveWord(p, to, PromotionTo(rng() % 2 != 0), p.side());
      if (ValidateMove(pos, node.move) == kLegal) moves.push_back(node);
    }
    if (moves.empty()) continue;
    w.forms.push_back(pos.CurrentBoardForm());
    w.moves.push_back(moves);
  }
  return w;
}

void BM_ApplyRetractFast(benchmark::State& state) {
  static const Workload w = MakeWorkload();
  TestPosition pos;
  int64_t done = 0;
  for (auto _ : state) {
    state.PauseTiming();
    const size_t k = done % w.forms.size();
    pos.ApplyBoardForm(w.forms[k]);
    pos.BeginRecord();
    state.ResumeTiming();
    for (int rep = 0; rep < 64; ++rep) {
      for (const MoveNode& m : w.moves[k]) {
        pos.ApplyFast(m, false);
        pos.RetractFast();
      }
    }
    done += 1;
    state.SetItemsProcessed(state.items_processed() + 64 * static_cast<int64_t>(w.moves[k].size()));
  }
}
BENCHMARK(BM_ApplyRetractFast);

void BM_AttackMap(benchmark::State& state) {
  static const Workload w = MakeWorkload();
  TestPosition pos;
  size_t k = 0;
  for (auto _ : state) {
    state.PauseTiming();
    pos.ApplyBoardForm(w.forms[k++ % w.forms.size()]);
    state.ResumeTiming();
    for (int rep = 0; rep < 256; ++rep) {
      pos.InvalidateAttackMap();
      pos.RefreshAttackMap();
      benchmark::DoNotOptimize(pos.AttackCount(kSente, BoardIndex(55)));
    }
    state.SetItemsProcessed(state.items_processed() + 256);
  }
}
BENCHMARK(BM_AttackMap);

void BM_ApplyFastWithAttackMap(benchmark::State& state) {
  static const Workload w = MakeWorkload();
  TestPosition pos;
  size_t k = 0;
  for (auto _ : state) {
    state.PauseTiming();
    const size_t i = k++ % w.forms.size();
    pos.ApplyBoardForm(w.forms[i]);
    pos.BeginRecord();
    state.ResumeTiming();
    for (const MoveNode& m : w.moves[i]) {
      pos.ApplyFast(m, false);
      pos.RefreshAttackMap();
      pos.RetractFast();
    }
    state.SetItemsProcessed(state.items_processed() + static_cast<int64_t>(w.moves[i].size()));
  }
}
BENCHMARK(BM_ApplyFastWithAttackMap);

}  // namespace
