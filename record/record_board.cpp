#include "record/record_board.h"

#include <cstring>

using namespace rules;

namespace record {

namespace {

constexpr int kStandWeight[kKindCount] = {0, 5, 5, 1, 1, 1, 1, 1};

int WeightedStand(const int hand[kKindCount]) {
  int sum = 0;
  for (int k = 0; k < kKindCount; ++k) sum += kStandWeight[k] * hand[k];
  return sum;
}

// How a move changes the two hands (the box is not counted), forward (+1) or backward (-1).
void ApplyToHands(MoveWord w, int sign, int hands[2][kKindCount]) {
  const int kind = KindOfIndex(w.Piece());
  if (w.From().IsHand()) hands[SideIndex(w.From().hand_side())][kind] -= sign;
  if (w.To().IsHand()) hands[SideIndex(w.To().hand_side())][kind] += sign;
  if (w.IsCapture() && w.Captured() < kPieceCount) hands[SideIndex(w.SideAfter())][KindOfIndex(w.Captured())] += sign;
}

}  // namespace

void RecordBoard::BeginRecord() {
  Position::BeginRecord();
  path_.clear();
  path_origin_ = -1;
  best_length_ = -1;
}

void RecordBoard::CopyRecordTo(Position& dest, bool keep_place, bool selected_only) {
  Position::CopyRecordTo(dest, keep_place, selected_only);
  // The place was left and replayed; let the next forward step choose from there.
  if (keep_place) path_origin_ = -1;
}

int RecordBoard::SelectedChildIndex(int at_depth) {
  EnsurePath();
  return at_depth >= 0 && at_depth < static_cast<int>(path_.size()) ? path_[at_depth] : 0;
}

void RecordBoard::EnsurePath() {
  // A move entered or a branch deleted since the path was computed may change the longest line.
  if (path_origin_ == -1 || path_origin_ > depth() || path_revision_ != tree_revision()) RecomputePath();
}

void RecordBoard::RecomputePath() {
  const int origin = depth();
  path_origin_ = origin;
  path_revision_ = tree_revision();
  best_length_ = origin;
  bool have_best = false;
  int hands[2][kKindCount];
  for (int s = 0; s < 2; ++s) {
    for (int k = 0; k < kKindCount; ++k) hands[s][k] = HandCount(SideOfBit(s), k);
  }
  std::vector<int> work(path_.begin(), path_.begin() + std::min<size_t>(origin, path_.size()));
  work.resize(origin);

  struct Frame {
    const MoveNode* node;
    const MoveNode* next_child;
    int next_index;
  };
  std::vector<Frame> stack{{current(), current()->child, 0}};
  while (!stack.empty()) {
    Frame& f = stack.back();
    const int ply = origin + static_cast<int>(stack.size()) - 1;
    if (!f.node->child) {
      const int s = WeightedStand(hands[0]), g = WeightedStand(hands[1]);
      const int best_s = WeightedStand(best_hands_[0]), best_g = WeightedStand(best_hands_[1]);
      if (!have_best || ply > best_length_ ||
          (ply == best_length_ && (s < best_s || (s == best_s && g > best_g)))) {
        have_best = true;
        best_length_ = ply;
        std::memcpy(best_hands_, hands, sizeof hands);
        path_.assign(work.begin(), work.begin() + ply);
      }
    }
    if (!f.next_child) {
      if (stack.size() > 1) ApplyToHands(f.node->move, -1, hands);
      stack.pop_back();
      continue;
    }
    const MoveNode* c = f.next_child;
    if (static_cast<int>(work.size()) <= ply) work.resize(ply + 1);
    work[ply] = f.next_index;
    f.next_child = c->next;
    ++f.next_index;
    ApplyToHands(c->move, +1, hands);
    stack.push_back({c, c->child, 0});
  }
}

int RecordBoard::StepBack() { return UndoMove(); }

int RecordBoard::StepForward() {
  MoveNode* before = current();
  if (!before->child) return 0;
  EnsurePath();
  const int d = depth();
  if (d >= static_cast<int>(path_.size()) || !before->ChildAt(path_[d])) RecomputePath();
  const int wanted = path_[d];
  ForwardToChild(wanted);
  if (current() == before) return 0;
  const int reached = before->IndexOfChild(current());
  if (reached != wanted) {
    path_[d] = reached;
    path_origin_ = -1;
  }
  return 1;
}

int RecordBoard::GoToChild(int i) {
  MoveNode* before = current();
  if (!before->ChildAt(i)) return 0;
  const int d = depth();
  const bool changed = path_origin_ == -1 || path_revision_ != tree_revision() ||
                       d >= static_cast<int>(path_.size()) || path_[d] != i;
  if (d >= static_cast<int>(path_.size())) path_.resize(d + 1);
  path_[d] = i;
  ForwardToChild(i);
  if (current() == before) return 0;
  if (changed) RecomputePath();
  return 1;
}

void RecordBoard::GoToStart() {
  while (StepBack() > 0) {
  }
}

void RecordBoard::GoToEnd() {
  while (current()->child && StepForward()) {
  }
}

bool RecordBoard::DeleteBranch(MoveNode* node) {
  if (!node || node == root() || !node->parent) return false;
  // When the board stands on the node (or below it), step back out of it first.
  for (MoveNode* n = current(); n; n = n->parent) {
    if (n != node) continue;
    while (current() != node->parent) StepBack();
    break;
  }
  DeleteNode(node);
  path_origin_ = -1;
  return true;
}

bool RecordBoard::SelectBranch(int pick) {
  MoveNode* node = current();
  if (node == root() || !node->parent->ChildAt(pick)) return false;
  if (node->parent->IndexOfChild(node) == pick) return true;
  StepBack();
  return GoToChild(pick) != 0;
}

int RecordBoard::SelectedLineLength() {
  SavePlace();
  while (current()->child && StepForward()) {
  }
  const int length = depth();
  RestorePlace();
  return length;
}

void RecordBoard::SavePlace() {
  saved_path_.clear();
  for (MoveNode* n = current(); n != root(); n = n->parent) saved_path_.push_back(n->parent->IndexOfChild(n));
  GoToStart();
}

void RecordBoard::RestorePlace() {
  GoToStart();
  for (auto it = saved_path_.rbegin(); it != saved_path_.rend(); ++it) ForwardToChild(*it);
  // Back where we were, the next forward step chooses from here.
  path_origin_ = -1;
}

}  // namespace record
