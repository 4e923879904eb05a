#include "solver/dfpn_table.h"

#include <algorithm>
#include <climits>

using namespace rules;

namespace solver {

DfpnTable::DfpnTable(size_t megabytes) {
  const size_t bytes = std::max<size_t>(megabytes, 1) * 1024 * 1024;
  size_t clusters = 1;
  while (clusters * 2 * sizeof(Cluster) <= bytes) clusters *= 2;
  // Zeroed memory is a table of unused slots. Where the system refuses the size, half of it is tried.
  for (;; clusters /= 2) {
    memory_ = std::make_unique<platform::LargeMemory>(clusters * sizeof(Cluster));
    if (memory_->data() || clusters == 1) break;
  }
  if (!memory_->data()) {
    fallback_.resize(1);
    clusters_ = fallback_.data();
  } else {
    clusters_ = static_cast<Cluster*>(memory_->data());
  }
  cluster_count_ = memory_->data() ? clusters : 1;
  mask_ = cluster_count_ - 1;
}

DfpnTable::~DfpnTable() = default;

namespace {

// Depths at or beyond the unbounded search's (less the deepest path) count as unbounded.
int16_t StoredDepth(int remaining) {
  constexpr int kUnbounded = kInfiniteDepth / 2;
  return static_cast<int16_t>(remaining >= kUnbounded ? INT16_MAX : std::max(remaining, INT16_MIN + 1));
}

}  // namespace

DfpnTable::Lookup DfpnTable::Find(uint64_t key, PackedHand hand, int remaining) const {
  Lookup out;
  const int16_t depth = StoredDepth(remaining);
  const Slot* c = ClusterOf(key);
  for (size_t i = 0; i < kCluster; ++i) {
    const Slot& s = c[i];
    if (!s.used || s.key != key) continue;
    const PackedHand stored(s.hand);
    if (s.pn == 0 && s.depth_needed <= depth && hand.Covers(stored)) {
      out.found = true;
      out.value = DfpnValue{0, kInfinitePn, s.depth_needed, false, true, stored};
      return out;
    }
    if (s.no_mate_within >= depth && stored.Covers(hand)) {
      out.found = true;
      out.value = DfpnValue{kInfinitePn, 0, 0, false, true, stored};
      out.value.holds_within = static_cast<int16_t>(s.no_mate_within == INT16_MAX ? kInfiniteDepth : s.no_mate_within);
      return out;
    }
    if (stored == hand && !out.found) {
      out.found = true;
      // A proof that needs more depth than there is: promising, but to be searched.
      out.value = s.pn == 0 || s.dn == 0 ? DfpnValue{} : DfpnValue{s.pn, s.dn, 0, false};
    }
  }
  return out;
}

void DfpnTable::Store(uint64_t key, PackedHand hand, const DfpnValue& value, int remaining, uint64_t work) {
  // A result that holds for more hands than the searched one is kept under those.
  if (value.solved() && value.has_hand && !value.path_dependent) hand = value.hand;
  Slot* c = ClusterOf(key);
  Slot* target = nullptr;
  for (size_t i = 0; i < kCluster; ++i) {
    if (c[i].used && c[i].key == key && c[i].hand == hand.bits()) {
      target = &c[i];
      break;
    }
  }
  if (!target) {
    for (size_t i = 0; i < kCluster; ++i) {
      if (!c[i].used) {
        target = &c[i];
        break;
      }
      if (!target || c[i].work < target->work) target = &c[i];
    }
    // A first estimate (no work below it) never pushes out a searched result.
    if (target->used && work == 0 && target->work > 0) return;
    used_ += !target->used;
    *target = Slot{};
    target->used = true;
    target->key = key;
    target->hand = hand.bits();
  }
  target->work = static_cast<uint32_t>(std::min<uint64_t>(uint64_t{target->work} + work, UINT32_MAX));
  if (value.proven()) {
    target->depth_needed = target->pn == 0 ? std::min(target->depth_needed, value.depth_needed) : value.depth_needed;
    target->pn = 0;
    target->dn = kInfinitePn;
    return;
  }
  if (value.disproven() && !value.path_dependent) {
    target->no_mate_within = std::max(target->no_mate_within, StoredDepth(HoldsWithin(value, remaining)));
  }
  if (target->pn == 0) return;  // an estimate never hides a proof
  if (value.disproven()) {
    // A disproof that holds on its own path only tells nothing of the position reached by another (the
    // cycle it rests on is often what makes it look hopeless): the estimate stays as it was.
    if (value.path_dependent) return;
    // No mate within the depth: probably none with more, so looked at last from an attack, first from a
    // defence, when asked again with more depth.
    constexpr ProofNumber kUnlikely = 1000;
    target->pn = kUnlikely;
    target->dn = 1;
    return;
  }
  target->pn = value.pn;
  target->dn = value.dn;
}


namespace {

// splitmix64: a fixed seed, so a search runs the same way every time.
uint64_t NextRandom(uint64_t& state) {
  uint64_t z = (state += 0x9E3779B97F4A7C15ull);
  z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
  z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
  return z ^ (z >> 31);
}

}  // namespace

ZobristKeys::ZobristKeys() {
  uint64_t state = 0x6B6F6D6172616B75ull;
  for (auto& square : piece_) {
    for (uint64_t& k : square) k = NextRandom(state);
  }
  for (uint64_t& k : probe_) k = NextRandom(state);
  defence_salt_ = NextRandom(state);
}

uint64_t ZobristKeys::Board(const Position& position) const {
  uint64_t key = 0;
  for (int i = 0; i < kPieceCount; ++i) {
    const rules::Piece& p = position.piece(i);
    if (p.on_board()) key ^= piece_[p.location().square().value()][p.code() & 31];
  }
  return key;
}

uint64_t ZobristKeys::AfterMove(uint64_t board, MoveWord w) const {
  const int kind = KindOfIndex(w.Piece());
  const int to = w.To().square().value();
  if (!w.IsDrop()) board ^= Piece(w.From().square().value(), MakeCode(kind, w.PromotedBefore(), w.SideBefore()));
  if (w.IsCapture()) {
    board ^= Piece(to, MakeCode(KindOfIndex(w.Captured()), w.CapturedPromoted(), w.CapturedSide()));
  }
  return board ^ Piece(to, MakeCode(kind, w.PromotedAfter(), w.SideAfter()));
}

}  // namespace solver
