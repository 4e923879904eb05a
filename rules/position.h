// Position: a shogi position made of 40 fixed pieces, a board, two hands and the piece box, together with the
// record tree of the moves played on it, the side to move and the attack map.
//
// Invariants (checked by CheckConsistency):
//  - every piece is in exactly one place: its board cell names it, or its hand/box group holds it;
//  - a piece's location agrees with that place; pieces in a hand belong to that hand's side;
//  - the current node lies in the record tree below the root, `depth` nodes down;
//  - the move nesting level rests at 1 between operations;
//  - a fresh attack map is what a full build from the board gives.
#pragma once
#include <cassert>
#include <cstdint>
#include <memory>
#include <string>

#include "platform/message_sink.h"
#include "rules/board.h"
#include "rules/board_form.h"
#include "rules/move_node.h"
#include "rules/node_pool.h"
#include "rules/piece.h"
#include "rules/piece_store.h"

namespace rules {

class Position {
 public:
  static constexpr int kAttackListSize = 10;  // attackers kept per side and square; counts stay exact
  static constexpr int kMapCells = kLastSquare + 1;  // the attack map covers board indices 0..109

  struct PoolSizes {
    int first_chunk = 150;
    int growth = 200;
    int limit = 150000;
  };

  Position();
  virtual ~Position();
  Position(const Position&) = delete;
  Position& operator=(const Position&) = delete;

  // Takes the current position as the start of the record and empties the tree.
  virtual void BeginRecord();
  // Gives `dest` this record's current position and side to move, then copies the moves below the
  // current node: the selected line only, or the whole tree with every alternative. With keep_place, the
  // record first goes to its start and afterwards returns to where it was, and so does the copy.
  virtual void CopyRecordTo(Position& dest, bool keep_place, bool selected_only);
  // Puts every piece where the source has it (pieces in the source's box stay in the box), takes its side
  // to move, and begins a new record.
  virtual void SetPositionFrom(const Position& source);
  // The child that the selected line takes at a depth below the current node: here the first; boards
  // with a main-line rule answer from their selected path.
  virtual int SelectedChildIndex(int depth) { (void)depth; return 0; }

  // Binds the 40 pieces, the board and the three boxes (sente hand, gote hand, piece box), creates the
  // record, and sets up the standard start position with sente to move and turn order on.
  void Init(Piece* const* pieces, Board* board, PieceStore* const* boxes, PoolSizes pool);
  // Standard arrangements 0..10 (even game, handicaps, all in the box, two more handicaps); then
  // BeginRecord. Codes above 10 do nothing.
  void SetUp(int code);

  // --- pieces and places -------------------------------------------------------------------------
  // The piece on a cell, or nullptr (an empty or outside cell).
  Piece* PieceAt(BoardIndex at) const;
  Piece& piece(int index) const { return *pieces_[index]; }
  Board& board() const { return *board_; }
  // A hand or the piece box.
  PieceStore& store(Location where) const { return *boxes_[where.store_index()]; }
  uint8_t cell(BoardIndex at) const { return board_->cell(at); }
  // Pieces of a kind in a hand or the box, and the one a drop of that kind takes (-1 when none).
  int CountIn(Location store, int kind) const { return boxes_[store.store_index()]->Count(kind); }
  int HandCount(Side side, int kind) const { return boxes_[SideIndex(side)]->Count(kind); }
  int LastPieceOfKind(Location store, int kind) const { return boxes_[store.store_index()]->LastOfKind(kind); }
  int PiecesInPlay(int kind) const { return kPiecesPerKind[kind] - CountIn(kPieceBox, kind); }
  int KindOf(int index) const { return pieces_[index]->kind(); }
  Location LocationOf(int index) const { return pieces_[index]->location(); }
  bool PromotedOf(int index) const { return pieces_[index]->promoted(); }
  Side SideOf(int index) const { return pieces_[index]->side(); }
  uint8_t CodeOf(int index) const { return pieces_[index]->code(); }
  // The first piece of a kind lying in the box, scanning upward from the kind's first index (into later
  // kinds' ranges when the kind has none there); -1 when the box is empty from there on.
  int FirstInBoxFrom(int kind) const;

  // Valid targets of a piece: a square of the board, a hand or the box.
  bool IsValidTarget(Location target) const;
  // The move word of `piece` going to `target`, with `side` owning it after a move to a square (a hand
  // or the box decides the side itself).
  MoveWord BuildMoveWord(const Piece& piece, Location target, Promotion promotion, Side side) const;

  BoardForm CurrentBoardForm() const;
  // Places all 40 pieces as the form says (through PlaceTo, without recording).
  void ApplyBoardForm(const BoardForm& form);
  // Places piece i as entries[i] says (through PlaceTo, without recording): the form's entries by piece.
  void PlacePieces(const BoardForm::Expanded& entries);
  void RecomputeKingIndices();
  // The piece index of the side's king on the board, or -1.
  int KingIndex(Side side) const { return king_index_[SideIndex(side)]; }

  // --- side to move -------------------------------------------------------------------------------
  Side side_to_move() const { return side_to_move_; }
  void SetSideToMove(Side side) { side_to_move_ = side; }
  bool turn_order() const { return turn_order_ != 0; }
  void SetTurnOrder(int flag);  // only 0 and 1 are accepted

  // --- attack map -----------------------------------------------------------------------------------
  // The map is kept as one bit per attacking piece, so that ApplyFast and RetractFast can bring a fresh
  // map up to date by the few lines a move opens and closes instead of rebuilding it.
  void RefreshAttackMap() const {
    if (!attack_valid_) ComputeAttackMap();
  }
  void InvalidateAttackMap() { attack_valid_ = false; }
  bool attack_map_valid() const { return attack_valid_; }
  // How many pieces of a side attack a cell, and the first kAttackListSize of them (piece indices, the
  // highest first). The list stays valid until the next Attackers call for the same side and cell.
  // REQUIRES: the map is fresh (RefreshAttackMap).
  int AttackCount(Side side, BoardIndex at) const {
    assert(attack_valid_);
    return __builtin_popcountll(attack_bits_[SideIndex(side)][at.value()]);
  }
  const uint8_t* Attackers(Side side, BoardIndex at) const;
  // The same list with its length (at most kAttackListSize), for loops over it.
  const uint8_t* Attackers(Side side, BoardIndex at, int& count) const;
  // Whether the piece with index `piece` (on the board) attacks a cell.
  bool AttacksCell(int piece, BoardIndex at) const {
    assert(attack_valid_);
    return (attack_bits_[SideIndex(SideOf(piece))][at.value()] >> piece) & 1;
  }
  // Whether any piece of a side attacks a cell (the common question, without a count).
  bool Attacked(Side side, BoardIndex at) const {
    assert(attack_valid_);
    return attack_bits_[SideIndex(side)][at.value()] != 0;
  }

  // --- the record -----------------------------------------------------------------------------------
  MoveNode* root() const { return root_; }
  MoveNode* current() const { return current_; }
  int move_number() const { return move_number_; }  // 手数: counts only moves made with turn order on
  int depth() const { return depth_; }              // nodes from the root to the current node
  // Changes whenever a node enters or leaves the tree, so a selected path computed earlier can tell it
  // is stale.
  uint32_t tree_revision() const { return tree_revision_; }
  NodePool& pool() const { return *pool_; }
  int ChildCount() const { return current_->ChildCount(); }
  MoveNode* ChildAt(int n) const { return current_->ChildAt(n); }
  const BoardForm& initial_form() const { return initial_form_; }
  Piece& scratch() const { return scratch_; }

  // Plays a node's move through the moving piece's MoveTo (DoMove) or PlaceTo (DoMoveQuiet); at rest
  // this enters it into the record, reusing an equal child. Builds with assertions check the invariants
  // after every DoMove and UndoMove.
  void DoMove(const MoveNode& node);
  void DoMoveQuiet(const MoveNode& node);
  // Plays the n-th child of the current node; 0 when there is none.
  int ForwardToChild(int n);
  int ForwardToChildQuiet(int n);
  // Takes back the current node's move: -1 at the root (or with recording off), else 1, or 0 when the
  // root has been reached.
  int UndoMove();
  int UndoMoveQuiet();
  // The mate search's direct forms: no MoveTo, no text; a fresh attack map is kept fresh (a stale one
  // stays stale until read). ApplyFast enters a copy of the node's word below the current node;
  // RetractFast takes back the current node's move and frees that node with its subtree. Use them only
  // where the current node has no continuation of its own. ApplyFast returns 0 (and changes nothing)
  // when the pool has no node left.
  int ApplyFast(const MoveNode& node, bool keep_side);
  int RetractFast();

  // Unlinks a node from the record and frees it with its subtree; refused when the current node lies in it.
  void DeleteNode(MoveNode* node);
  // Annotation lines of a node.
  void AddAnnotation(MoveNode* node, std::string_view line);
  const std::string* Annotation(const MoveNode* node, int i) const;

  // The Japanese text of the last top-level move made (empty for moves into a hand or the box).
  const std::string& move_text() const { return move_text_; }

  void SetMessageSink(platform::MessageSink* messages);
  platform::MessageSink& messages() const { return *messages_; }

  // Checks the invariants above; returns an empty string when they hold, else what is wrong. The walk
  // from the current node to the root takes time in proportion to the depth.
  std::string CheckConsistency() const;

 protected:
  // Moves pieces without entering anything into the record (set-ups, readers, editing tools).
  class Unrecorded {
   public:
    explicit Unrecorded(Position& p) : p_(p) { ++p_.nesting_; }
    ~Unrecorded() { --p_.nesting_; }

   private:
    Position& p_;
  };
  void PlaceAllInBox();

 private:
  friend class Piece;

  // Finds the node a top-level move enters as: an equal child of the current node, or a new node (nullptr
  // when the pool has none). `is_new` tells which.
  MoveNode* PrepareEntry(MoveWord w, bool& is_new);
  void CommitEntry(MoveNode* node, bool is_new);
  void ComputeAttackMap() const;
  // The incremental forms: a piece's own lines from a square set or cleared, and the lines of the pieces
  // attacking a cell carried on past it (the cell emptied) or stopped there (the cell filled). Each
  // reads the board as it stands.
  void MarkAttacks(int index, int from, uint8_t code, bool on) const;
  void OpenLinesThrough(int at) const;
  void CloseLinesThrough(int at) const;
  // Both of the above: each slider attacking `at` gains (kOpen) or loses its squares beyond it.
  template <bool kOpen>
  void UpdateLinesThrough(int at) const;
  std::string CheckAttackMap() const;
  int TakeBack(bool quiet);
  void CopySubtree(Position& dest, const MoveNode& from, int depth, bool selected_only);
  // What the assertions check after every move made and taken back: the pieces and the current node's
  // own link, in constant time (the path above it was checked when the board stood there).
  std::string CheckStep() const;
  std::string CheckPieces() const;

  std::unique_ptr<NodePool> pool_;
  MoveNode* root_ = nullptr;
  MoveNode* current_ = nullptr;
  uint32_t recording_ = 0;
  int32_t move_number_ = 0;
  int32_t depth_ = 0;
  uint32_t tree_revision_ = 0;
  Piece* pieces_[kPieceCount] = {};
  Board* board_ = nullptr;
  PieceStore* boxes_[3] = {};
  Side side_to_move_ = kSente;
  uint32_t turn_order_ = 1;
  BoardForm initial_form_;
  mutable Piece scratch_;  // a pawn for hypothetical drops and the two-pawn test
  int32_t king_index_[2] = {-1, -1};
  int32_t nesting_ = 1;
  std::string move_text_;
  platform::MessageSink* messages_;

  mutable bool attack_valid_ = false;
  mutable uint64_t attack_bits_[2][kMapCells] = {};
  mutable uint8_t attackers_[2][kMapCells][kAttackListSize] = {};  // filled by Attackers when asked
};

}  // namespace rules
