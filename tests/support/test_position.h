// Test boards: a position that owns plain parts, with editing helpers the tests need, and a generator of
// random positions (through random board forms, so every kind of placement occurs: promoted pieces,
// pieces in hand and in the box, kings missing).
#pragma once
#include <random>
#include <string>

#include "rules/position.h"

class TestPosition : public rules::Position {
 public:
  TestPosition() {
    rules::Piece* pieces[rules::kPieceCount];
    for (int i = 0; i < rules::kPieceCount; ++i) pieces[i] = &pieces_[i];
    rules::PieceStore* boxes[3] = {&boxes_[0], &boxes_[1], &boxes_[2]};
    Init(pieces, &board_, boxes, PoolSizes{});
  }
  // Places a piece without recording anything.
  void Place(int index, rules::Location location, bool promoted, rules::Side side) {
    Unrecorded quiet(*this);
    piece(index).PlaceTo(location, rules::PromotionTo(promoted), side);
  }
  void Empty() { SetUp(8); }

 private:
  rules::Piece pieces_[rules::kPieceCount];
  rules::Board board_;
  rules::PieceStore boxes_[3];
};

// A random but well-formed board form: every piece on a distinct square, in a hand or in the box;
// pawns, lances and knights never on squares they could not leave; promotions where the kind allows.
rules::BoardForm RandomBoardForm(std::mt19937& rng, int box_percent = 15, int hand_percent = 15);

// Places kings first (one per side, when `with_kings`) then the rest at random.
void SetRandomPosition(rules::Position& position, std::mt19937& rng, bool with_kings = true);

// The square of a file and rank.
inline rules::BoardIndex Sq(int file, int rank) { return rules::BoardIndex::At(file, rank); }
