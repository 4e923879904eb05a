#include "rules/board_form.h"

#include <algorithm>

#include "rules/piece_code.h"
#include "rules/position.h"
#include "rules/start_position.h"

namespace rules {

namespace {

constexpr int kCountBits[kKindCount] = {2, 2, 2, 3, 3, 3, 3, 5};

int SortKey(const BoardForm::Entry& e) { return e.promoted * 256 + e.location * 2 + e.owner; }

bool IsSquareNumber(int n) { return n / 10 >= 1 && n / 10 <= 9 && n % 10 >= 1 && n % 10 <= 9; }

// The canonical entry of a piece: hands and box carry no promotion, the box no owner.
BoardForm::Entry Canonical(BoardForm::Entry e) {
  if (e.location == BoardForm::kBoxLocation) return {BoardForm::kBoxLocation, 0, 0};
  if (e.location <= 1) return {e.location, e.location, 0};
  return e;
}

}  // namespace

BoardForm::BoardForm() { SetLayout(0); }

void BoardForm::Encode(Expanded entries) {
  uint32_t counts = 0;
  int shift = 0;
  for (int kind = 0; kind < kKindCount; ++kind) {
    auto first = entries.begin() + kFirstIndexOfKind[kind];
    auto last = first + kPiecesPerKind[kind];
    for (auto it = first; it != last; ++it) *it = Canonical(*it);
    std::stable_sort(first, last, [](const Entry& a, const Entry& b) { return SortKey(a) < SortKey(b); });
    uint32_t unpromoted_in_play = 0;
    for (auto it = first; it != last; ++it) {
      bytes_[it - entries.begin()] = static_cast<uint8_t>(it->owner * 128 + it->location);
      if (!it->promoted && it->location < kBoxLocation) ++unpromoted_in_play;
    }
    counts |= unpromoted_in_play << shift;
    shift += kCountBits[kind];
  }
  for (int i = 0; i < 4; ++i) bytes_[40 + i] = static_cast<uint8_t>(counts >> (8 * i));
}

BoardForm::Expanded BoardForm::Decode() const {
  Expanded entries;
  uint32_t counts = bytes_[40] | bytes_[41] << 8 | bytes_[42] << 16 | static_cast<uint32_t>(bytes_[43]) << 24;
  int shift = 0;
  for (int kind = 0; kind < kKindCount; ++kind) {
    uint32_t unpromoted = (counts >> shift) & ((1u << kCountBits[kind]) - 1);
    shift += kCountBits[kind];
    for (int i = kFirstIndexOfKind[kind]; i < kFirstIndexOfKind[kind] + kPiecesPerKind[kind]; ++i) {
      Entry& e = entries[i];
      e.location = bytes_[i] & 127;
      e.owner = bytes_[i] >> 7;
      e.promoted = 0;
      if (e.location < kBoxLocation) {
        if (unpromoted > 0) {
          --unpromoted;
        } else {
          e.promoted = 1;
        }
      }
    }
  }
  return entries;
}

bool BoardForm::IsValid() const {
  bool occupied[100] = {};
  for (int i = 0; i < 40; ++i) {
    int location = bytes_[i] & 127, owner = bytes_[i] >> 7;
    if (location == kBoxLocation) {
      if (owner != 0) return false;
    } else if (location <= 1) {
      if (owner != location) return false;
    } else {
      if (!IsSquareNumber(location) || occupied[location]) return false;
      occupied[location] = true;
    }
  }
  Expanded entries = Decode();
  uint32_t counts = bytes_[40] | bytes_[41] << 8 | bytes_[42] << 16 | static_cast<uint32_t>(bytes_[43]) << 24;
  if (counts >> 23) return false;
  for (int i = 0; i < 40; ++i) {
    const Entry& e = entries[i];
    // Kings and golds never promote; pieces in hand are never promoted.
    if (e.promoted && (KindOfIndex(i) == OU || KindOfIndex(i) == KI || e.location <= 1)) return false;
  }
  // Every counted piece must exist: re-encoding gives the same counts only when none was left over.
  BoardForm again;
  again.Encode(entries);
  return again.bytes_[40] == bytes_[40] && again.bytes_[41] == bytes_[41] &&
         again.bytes_[42] == bytes_[42] && again.bytes_[43] == bytes_[43];
}

void BoardForm::FromPosition(const Position& position) {
  Expanded entries;
  for (int i = 0; i < 40; ++i) {
    const Piece& p = position.piece(i);
    const Location location = p.location();
    if (location.IsBox()) {
      entries[i] = {kBoxLocation, 0, 0};
    } else if (location.IsHand()) {
      const auto hand = static_cast<uint8_t>(SideIndex(location.hand_side()));
      entries[i] = {hand, hand, 0};
    } else {
      entries[i] = {static_cast<uint8_t>(ToSquareNumber(location.square()).value()),
                    static_cast<uint8_t>(SideIndex(p.side())), static_cast<uint8_t>(p.promoted())};
    }
  }
  Encode(entries);
}

void BoardForm::ApplyTo(Position& position) const { position.ApplyBoardForm(*this); }

void BoardForm::SetLayout(int code) {
  // Gote's pieces each layout removes, as start-position piece indices.
  static const std::initializer_list<int> kRemoved[8] = {
      {}, {21}, {20}, {3}, {5}, {3, 5}, {3, 5, 20, 21}, {3, 5, 20, 21, 16, 17}};
  if (code < 0) code = 0;
  Expanded entries;
  for (int i = 0; i < 40; ++i) {
    bool removed = code >= 8 || std::find(kRemoved[code].begin(), kRemoved[code].end(), i) != kRemoved[code].end();
    if (!removed) {
      entries[i] = {kStartPosition[i].square, kStartPosition[i].side, 0};
    }
  }
  Encode(entries);
}

void BoardForm::Reverse() {
  Expanded entries = Decode();
  for (Entry& e : entries) {
    if (e.location == kBoxLocation) continue;
    if (e.location <= 1) {
      e.location ^= 1;
    } else {
      e.location = static_cast<uint8_t>(110 - e.location);
    }
    e.owner ^= 1;
  }
  Encode(entries);
}

}  // namespace rules
