// ScreenBoard: the board of a game, tsume or setup document. Its 40 pieces are sprites of the board picture
// (PieceSprite); it lays the pieces of the hands and the piece box out on the stands and in the box, and
// adds the reversed display flag.
//
// Display follows the position on request: MoveTo on a sprite only marks the board's display stale,
// because the mate solver's worker thread moves the same pieces (quietly) while it owns the board; the
// view calls SyncSprites on the user-interface thread after every operation, and that gives each sprite
// the place, depth and image of its piece.
//
// Where pieces lie in a container (local coordinates of a 119 x 176 area, 44-pixel rows): on a stand
// 飛 角 / 金 銀 / 桂 香 / 歩 (and a king, should one be put there, at the end of the pawn row); in the box
// 玉 飛 角 / 金 銀 / 桂 香 / 歩. Pieces of one kind fan out to the right in their group's slot order, the
// last slot nearest. The lower-right stand and the box grow from their top-left anchors; the upper-left
// stand is the same layout turned round its bottom-right anchor.
#pragma once
#include <atomic>
#include <bitset>

#include "app/core/board_images.h"
#include "app/core/sprite.h"
#include "record/record_board.h"

namespace app {

class ScreenBoard;

class PieceSprite final : public rules::Piece, public Sprite {
 public:
  using rules::Piece::MoveTo;
  int MoveTo(rules::Location target, rules::Promotion promotion, rules::Side side) override;
  // Quiet placement: no display effect (safe on the solver's thread).
  int PlaceTo(rules::Location target, rules::Promotion promotion, rules::Side side) override {
    return rules::Piece::MoveTo(target, promotion, side);
  }
  void SetBoard(ScreenBoard* board) { board_ = board; }

 private:
  ScreenBoard* board_ = nullptr;
};

class ScreenBoard final : public record::RecordBoard {
 public:
  explicit ScreenBoard(platform::MessageSink* messages = nullptr, PoolSizes pool = {});
  void SetPositionFrom(const rules::Position& source) override;

  void SetImages(const BoardImages* images) { images_ = images; MarkStale(); }
  const BoardImages* images() const { return images_; }

  bool reversed() const { return reversed_; }
  void SetReversed(bool reversed) { reversed_ = reversed; MarkStale(); }
  rules::Side bottom_side() const { return reversed_ ? rules::kGote : rules::kSente; }

  PieceSprite& sprite(int index) { return sprites_[index]; }
  int SpriteIndex(const Sprite* s) const;  // -1 when not one of ours

  void MarkStale() { stale_.store(true, std::memory_order_release); }
  bool stale() const { return stale_.load(std::memory_order_acquire); }
  // Gives every sprite not in `skip` the place, depth and image of its piece.
  void SyncSprites(const std::bitset<rules::kPieceCount>& skip = {});

  // Where piece `index` is drawn now, and the image a piece shows for a face and side.
  Point PlaceOfPiece(int index, int* depth) const;
  // Pieces in the box are drawn only while the box is shown (free placement).
  void ShowBoxPieces(bool shown) { box_pieces_shown_ = shown; MarkStale(); }
  bool box_pieces_shown() const { return box_pieces_shown_; }
  // Puts a piece somewhere without entering anything into the record (set-up editing).
  int PlaceQuietly(int index, rules::Location target, rules::Promotion promotion, rules::Side side);
  const Dib8* ImageFor(rules::Location location, rules::Side side, int kind, bool promoted) const;

 private:
  PieceSprite sprites_[rules::kPieceCount];
  rules::Board board_;
  rules::PieceStore boxes_[3];
  const BoardImages* images_ = nullptr;
  bool reversed_ = false;
  bool box_pieces_shown_ = false;
  std::atomic<bool> stale_{true};
};

constexpr int kBoardDepth = 50;
constexpr int kHeldDepth = 10;
constexpr int kEarlierHeldDepth = 20;

}  // namespace app
