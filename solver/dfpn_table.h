// The proof-number search's transposition table: proof and disproof numbers of positions, keyed by a
// Zobrist hash of the board (and of the kind of node), with the attacker's hand kept beside the key so
// that one entry can answer for other hands:
//  - proven with hand h  => proven with any hand covering h (more pieces never hurt the attacker);
//  - disproven with hand h => disproven with any hand h covers.
//
// Searches may be bounded by a remaining depth (plies), for the shortest mate. So a proof records the
// remaining depth it needs, and a disproof the remaining depth it holds for ("no mate within d plies";
// kInfiniteDepth for none at all; more than the depth searched where the value says so); one entry may
// hold both a long proof and a short disproof.
//
// Entries sit in clusters of four; a new position takes an empty slot or the one that cost the least work
// (nodes searched below it), so expensive results survive longest. The size comes from a memory limit.
//
// A disproof that rests on a repetition of the path it was found on (see dfpn_engine.h) leaves the entry
// with the estimate it had: no other path takes it as a disproof, nor as a sign of one.
#pragma once
#include <cstdint>
#include <memory>
#include <vector>

#include "platform/large_memory.h"
#include "solver/dfpn_hand.h"

namespace solver {

// Proof and disproof numbers; kInfinitePn marks a solved side.
using ProofNumber = uint32_t;
constexpr ProofNumber kInfinitePn = 0x3FFFFFFF;

inline ProofNumber SaturatedAdd(ProofNumber a, ProofNumber b) {
  if (a == kInfinitePn || b == kInfinitePn) return kInfinitePn;
  const uint64_t s = uint64_t{a} + b;
  return s >= kInfinitePn - 1 ? kInfinitePn - 1 : static_cast<ProofNumber>(s);
}

// Remaining depths: kInfiniteDepth for an unbounded search; kAnyDepth is what a mate on the board needs.
constexpr int kInfiniteDepth = 30000;
constexpr int kAnyDepth = -30000;

struct DfpnValue {
  ProofNumber pn = 1;
  ProofNumber dn = 1;
  // When proven: the least remaining depth this proof holds for.
  int16_t depth_needed = 0;
  // When disproven: the disproof rests on a repetition on the current path.
  bool path_dependent = false;
  // When solved and has_hand: the attacker hands the result holds for, beyond the searched one: a proof
  // for every hand covering `hand` (the pieces the proof uses), a disproof for every hand `hand`
  // covers. Without: just the searched hand.
  bool has_hand = false;
  PackedHand hand;
  // When disproven: the most remaining plies the disproof is known to hold for (kInfiniteDepth: any), or
  // kAnyDepth when it is known for the plies searched only. A disproof that never met the bound (the
  // attacker ran out of checks) holds however deep a later search asks.
  int16_t holds_within = kAnyDepth;

  bool proven() const { return pn == 0; }
  bool disproven() const { return dn == 0; }
  bool solved() const { return pn == 0 || dn == 0; }
};

// The most remaining plies a disproof found with `remaining` plies holds for.
inline int HoldsWithin(const DfpnValue& v, int remaining) { return v.holds_within > remaining ? v.holds_within : remaining; }

class DfpnTable {
 public:
  // A table of about `megabytes` MB (at least one cluster).
  explicit DfpnTable(size_t megabytes);
  ~DfpnTable();
  DfpnTable(const DfpnTable&) = delete;
  DfpnTable& operator=(const DfpnTable&) = delete;

  // What the table knows of the position (key, hand) searched with `remaining` plies: a proof or
  // disproof that holds there (also from a covering hand), else an exact entry's estimate (found =
  // false when there is none).
  struct Lookup {
    bool found = false;
    DfpnValue value;
  };
  Lookup Find(uint64_t key, PackedHand hand, int remaining) const;

  // Records what a search of (key, hand) with `remaining` plies found, adding `work` to the entry's work.
  void Store(uint64_t key, PackedHand hand, const DfpnValue& value, int remaining, uint64_t work);

  // Starts loading the key's cluster into the cache.
  void Prefetch(uint64_t key) const {
    __builtin_prefetch(ClusterOf(key));
    __builtin_prefetch(reinterpret_cast<const char*>(ClusterOf(key)) + 64);
  }

  size_t entries() const { return cluster_count_ * kCluster; }
  size_t UsedCount() const { return used_; }
  size_t megabytes() const { return cluster_count_ * sizeof(Cluster) >> 20; }

 private:
  // 32 bytes, four to a 128-byte cluster: a lookup touches two cache lines (the table is far larger than
  // the caches, so its misses are much of a node's cost).
  struct Slot {
    uint64_t key = 0;
    uint32_t work = 0;  // saturating
    uint32_t hand = 0;
    ProofNumber pn = 1;  // 0: proven (needing depth_needed); else the estimate
    ProofNumber dn = 1;
    int16_t depth_needed = 0;
    int16_t no_mate_within = INT16_MIN;  // no mate within this many plies (INT16_MIN: nothing known)
    bool used = false;
  };
  static constexpr size_t kCluster = 4;

  static_assert(sizeof(Slot) == 32);
  struct alignas(128) Cluster {
    Slot slot[kCluster];
  };
  const Slot* ClusterOf(uint64_t key) const { return clusters_[key & mask_].slot; }
  Slot* ClusterOf(uint64_t key) { return clusters_[key & mask_].slot; }

  std::unique_ptr<platform::LargeMemory> memory_;
  std::vector<Cluster> fallback_;  // one cluster, when no block could be mapped at all
  Cluster* clusters_ = nullptr;
  size_t cluster_count_ = 0;
  size_t used_ = 0;  // slots ever taken (counted as they are, since a scan would touch every page)
  uint64_t mask_ = 0;  // clusters - 1 (a power of two)
};

// Zobrist keys of positions: a random word per (board index, piece code), XORed over the pieces on the
// board, and salts for the kind of node, so that an attacker-to-move position, a defender-to-move one and
// the capture probe of an interposition square never share a key.
class ZobristKeys {
 public:
  ZobristKeys();
  uint64_t Board(const rules::Position& position) const;
  // The key of a piece code on a square (codes 0..31).
  uint64_t Piece(int square, int code) const { return piece_[square][code & 31]; }
  // The board key after the move (only the board: no salt).
  uint64_t AfterMove(uint64_t board, rules::MoveWord w) const;
  uint64_t defence_salt() const { return defence_salt_; }
  uint64_t ProbeSalt(rules::BoardIndex square) const { return probe_[square.value()]; }

 private:
  uint64_t piece_[rules::Position::kMapCells][32] = {};
  uint64_t probe_[rules::Position::kMapCells] = {};
  uint64_t defence_salt_ = 0;
};

}  // namespace solver
