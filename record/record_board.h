// RecordBoard: a position with a record that can be navigated. Forward steps follow the SelectedPath, which
// the main-line rule computes: the longest line below the current node, and between lines of equal length
// the one that leaves sente the fewest weighted pieces in hand, then gote the most.
#pragma once
#include <vector>

#include "record/csa_body.h"
#include "rules/position.h"

namespace record {

class Archive;

class RecordBoard : public rules::Position {
 public:
  void BeginRecord() override;
  void CopyRecordTo(rules::Position& dest, bool keep_place, bool selected_only) override;
  int SelectedChildIndex(int depth) override;

  // The record as CSA body text: storing writes the start position, the side to move and every move
  // with its branches and annotations; loading replaces the position and the record with what the text
  // holds and leaves the record at its start. Display boards override it to redraw after loading.
  virtual CsaBodyResult Serialize(Archive& ar);
  void WriteCsaBody(Archive& ar) const;
  // The start position alone: rank lines, hands and the side line.
  void WriteCsaPosition(Archive& ar) const;
  CsaBodyResult ReadCsaBody(Archive& ar);

  // -1 at the root, 1 when moves remain before the current node, 0 when the root has been reached.
  int StepBack();
  // Plays the child the SelectedPath names; 0 at a leaf.
  int StepForward();
  // Plays child i and makes it the selected one; 0 when there is no such child.
  int GoToChild(int i);
  void GoToStart();
  void GoToEnd();
  // Deletes a node with its subtree: the current node (stepping back first), one of its siblings, or any
  // other node of the record (stepping back out of it when the board stands inside).
  bool DeleteBranch(rules::MoveNode* node);
  // Makes sibling `pick` of the current node current (stepping back and going to that child).
  bool SelectBranch(int pick);
  // Plies from the start to the end of the selected line; the current place is kept.
  int SelectedLineLength();
  // Remembers the way from the root to the current node and goes to the start; RestorePlace replays it.
  void SavePlace();
  void RestorePlace();

  int best_length() const { return best_length_; }

 private:
  void EnsurePath();
  void RecomputePath();

  std::vector<int> path_;
  int path_origin_ = -1;
  uint32_t path_revision_ = 0;  // the tree revision the path was computed for
  int best_length_ = -1;
  int best_hands_[2][rules::kKindCount] = {};
  std::vector<int> saved_path_;
};

}  // namespace record
