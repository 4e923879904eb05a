// What a board window tells of where its board stands, besides the pieces: the last move's mark in the
// picture (a 表示 menu toggle, kept in the settings), the ply and move in the main window's status bar, and
// the ply in the window's title.
#pragma once
#include <QString>

namespace app {

class BoardView;

class PositionCues {
 public:
  explicit PositionCues(BoardView& view);

  bool mark_shown() const { return mark_shown_; }
  // The toggle of one view; the 表示 command sets every board window alike and stores the choice.
  void SetMarkShown(bool on);
  // Before the picture is composed: the mark follows the board. While a solve owns the board it stays.
  void UpdateMark();
  // The board moved: the status bar's message and the window title follow.
  void PositionChanged();

 private:
  BoardView& view_;
  bool mark_shown_;
};

// The title of a board window: the document's, with the ply once the board has left the start.
QString BoardWindowTitle(BoardView& view);
// The 表示 menu's "最終手を表示": every board window of the program at once.
void ToggleLastMoveMarks(BoardView& from);

}  // namespace app
