#include "app/core/record_navigation.h"

#include "platform/text_codec.h"
#include "record/side_labels.h"

using namespace rules;

namespace app {

bool StepBoardTo(BoardController& controller, BoardHost& host, const MovePath& target) {
  ScreenBoard& board = controller.board();
  if (controller.busy() || controller.auto_direction() != 0 || !NodeAt(board, target)) return false;
  const MovePath now = CurrentPath(board);
  size_t common = 0;
  while (common < now.size() && common < target.size() && now[common] == target[common]) ++common;
  if (common == now.size() && common == target.size()) return false;
  controller.PutBackHeld();
  host.CloseAnnotation();
  bool forward = false;
  // Sprites follow the pieces only on Refresh, so these steps draw nothing.
  for (size_t d = now.size(); d > common; --d) {
    board.StepBack();
    forward = false;
    host.RedrawHeader();
  }
  for (size_t d = common; d < target.size(); ++d) {
    if (!board.GoToChild(target[d])) break;
    forward = true;
    host.RedrawHeader();
  }
  controller.Refresh();
  if (forward) host.PlayPieceSound();
  host.CurrentMoveChanged();
  host.JosekiRefresh();
  controller.AnnotationWhenDue();
  return true;
}

AlternativeList AlternativesOfCurrentMove(const Position& board) {
  AlternativeList list;
  const MoveNode* now = board.current();
  if (now == board.root()) return list;
  const bool handicap = record::SideLabelKindOf(board) == record::kHandicapLabels;
  const char* first = handicap ? "下手" : "先手";
  const char* second = handicap ? "上手" : "後手";
  int index = 0;
  for (const MoveNode* c = now->parent->child; c; c = c->next, ++index) {
    if (c == now) list.current = index;
    const char* label = c->move.SideBefore() == kSente ? first : second;
    list.lines.push_back(label + platform::Cp932ToUtf8(MoveTextAfterSide(board, *c)));
  }
  return list;
}

bool CanSelectBranch(const BoardController& controller) {
  const ScreenBoard& board = controller.board();
  return !controller.busy() && board.current() != board.root() && board.current()->parent->ChildCount() > 1;
}

bool CanDeleteMoves(const BoardController& controller) {
  const ScreenBoard& board = controller.board();
  return !controller.busy() && board.current() != board.root();
}

bool ChooseAlternative(BoardController& controller, BoardHost& host, int pick) {
  ScreenBoard& board = controller.board();
  if (!CanSelectBranch(controller)) return false;
  const MoveNode* now = board.current();
  if (!now->parent->ChildAt(pick) || now->parent->IndexOfChild(now) == pick) return false;
  controller.PutBackHeld();
  host.CloseAnnotation();
  if (!board.SelectBranch(pick)) return false;
  host.CurrentMoveChanged();
  host.RedrawHeader();
  host.PlayPieceSound();
  host.JosekiRefresh();
  controller.AnnotationWhenDue();
  controller.Refresh();
  host.TakeFocus();
  return true;
}

bool DeleteAlternative(BoardController& controller, BoardHost& host, int pick) {
  ScreenBoard& board = controller.board();
  if (!CanDeleteMoves(controller)) return false;
  MoveNode* doomed = board.current()->parent->ChildAt(pick);
  if (!doomed) return false;
  controller.PutBackHeld();
  if (doomed == board.current()) {
    host.CloseAnnotation();
    board.StepBack();
  }
  board.DeleteBranch(doomed);
  host.SetModified();
  host.RecordChanged();
  host.RedrawHeader();
  host.JosekiRefresh();
  controller.Refresh();
  return true;
}

}  // namespace app
