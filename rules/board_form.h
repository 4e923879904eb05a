// BoardForm: the 44-byte canonical encoding of where the 40 pieces of a position are. The side to move is
// not part of it. Two positions with the same pieces on the same places give the same bytes, whatever
// the indices of the piece objects standing there.
//
//   bytes 0-39   one byte per piece, in kind groups (kings 0-1, rooks 2-3, bishops 4-5, golds 6-9,
//                silvers 10-13, knights 14-17, lances 18-21, pawns 22-39): owner * 128 + location, where
//                location is a square number 11..99, 0 sente's hand, 1 gote's hand, 127 the piece box
//   bytes 40-43  u32 little-endian: per group, the number of unpromoted pieces in play (location < 127),
//                packed from the low end in 2, 2, 2, 3, 3, 3, 3, 5 bits (kings lowest)
//
// Inside each group the pieces are sorted by promoted * 256 + location * 2 + owner: unpromoted pieces in
// play, then the box, then promoted pieces. Reading back, the first n in-play pieces of a group (n from
// the packed count) are unpromoted and the others in play promoted.
#pragma once
#include <array>
#include <cstdint>

namespace rules {

class Position;

class BoardForm {
 public:
  static constexpr int kSize = 44;
  static constexpr uint8_t kBoxLocation = 127;

  struct Entry {
    uint8_t location = kBoxLocation;  // square number, 0/1 hands, 127 box
    uint8_t owner = 0;
    uint8_t promoted = 0;
  };
  using Expanded = std::array<Entry, 40>;

  BoardForm();  // the even game

  // The form of a position's current placement.
  void FromPosition(const Position& position);
  // Places every piece of the position as the form says (through PlaceTo).
  void ApplyTo(Position& position) const;
  // Layouts: 0 even, 1 right lance (9一), 2 left lance (1一), 3 rook, 4 bishop, 5 rook+bishop,
  // 6 four pieces, 7 six pieces; 8 and above all 40 pieces in the box. Removed pieces are gote's.
  void SetLayout(int code);
  // The board turned round: square s becomes 110 - s, owners and hands exchange; groups re-sorted.
  void Reverse();

  Expanded Decode() const;
  void Encode(Expanded entries);  // sorts each group, then writes bytes and counts
  // Whether every byte describes a real place and the counts fit the groups (for forms read from files).
  bool IsValid() const;

  const uint8_t* data() const { return bytes_.data(); }
  uint8_t* data() { return bytes_.data(); }
  const std::array<uint8_t, kSize>& bytes() const { return bytes_; }
  bool operator==(const BoardForm& other) const { return bytes_ == other.bytes_; }
  bool operator!=(const BoardForm& other) const { return !(*this == other); }

 private:
  std::array<uint8_t, kSize> bytes_{};
};

}  // namespace rules
