// One of the 40 physical pieces of a position. Pieces are never created or destroyed while a position
// lives; every change (a move, a take-back, a capture, an editing drag, a set-up) relocates one through
// MoveTo or PlaceTo.
#pragma once
#include <cstdint>

#include "rules/movement.h"
#include "rules/piece_code.h"

namespace rules {

class Position;

class Piece {
 public:
  Piece() = default;
  virtual ~Piece() = default;
  Piece(const Piece&) = delete;
  Piece& operator=(const Piece&) = delete;

  // Moves this piece to a location, promoting, demoting or keeping its promotion, and belonging to `side`
  // afterwards when the target is a square (a hand gives the piece its side, the box sente). A capture
  // sends the piece on the target to the mover's hand. A top-level call enters the move into the owner's
  // record. Returns 0 (no change) for an invalid target, else 1.
  virtual int MoveTo(Location target, Promotion promotion, Side side);
  // A move of play: the piece keeps its owner.
  int MoveTo(Location target, Promotion promotion) { return MoveTo(target, promotion, side()); }
  // The same as MoveTo here; display pieces differ only in how the change is shown.
  virtual int PlaceTo(Location target, Promotion promotion, Side side) { return MoveTo(target, promotion, side); }
  virtual void SetLocation(Location location) { location_ = static_cast<uint8_t>(location.code()); }
  virtual void SetPromoted(bool promoted);
  virtual void SetSide(Side side);
  // Takes back the owner's current move if it moved this piece.
  virtual void TakeBackIfLast();

  void SetKind(int kind) { code_ = static_cast<uint8_t>((code_ & ~7) | (kind & 7)); }
  void SetOwner(Position* owner) { owner_ = owner; }
  void SetIndex(int index) { index_ = static_cast<uint32_t>(index); }
  // For readers that restore a stored code directly (kind, promotion and side at once).
  void SetCode(uint8_t code) { code_ = code & 31; }

  uint8_t code() const { return code_; }
  Location location() const { return Location::FromCode(location_); }
  int index() const { return static_cast<int>(index_); }
  int kind() const { return CodeKind(code_); }
  bool promoted() const { return CodePromoted(code_); }
  Side side() const { return CodeSide(code_); }
  bool on_board() const { return location_ >= kFirstSquare; }
  Position* owner() const { return owner_; }

  const MoveVector* Vectors() const { return MovementVectors(code_); }
  // Whether this piece can get to the target in one move from where it is (a piece in hand or box can
  // get to any empty square).
  bool CanReach(BoardIndex target) const;
  // 0 no vector with this offset, 1 a step, 2 a slide.
  int MovesInDirection(int offset) const;

 private:
  friend class Position;  // the mate search's fast forms move pieces without the virtual calls

  uint8_t code_ = 0;
  uint8_t location_ = Location::kBoxCode;
  uint32_t index_ = 0;
  Position* owner_ = nullptr;
};

}  // namespace rules
