// RecordWindow: the record window of a board view, an MDI child beside the board holding the move list
// (MoveListView) and the move tree (MoveTreeView) side by side. It follows the board on 113 (select the
// current move) and 114 (rebuild), and moves the board when the user selects a line or a tree item.
// It keeps no node of the record: list lines and tree items carry alternative indexes only.
#pragma once
#include <QMdiSubWindow>
#include <QPointer>
#include <optional>

#include "app/core/record_lines.h"

class QListWidget;
class QTreeWidget;
class QTreeWidgetItem;

namespace app {

class BoardView;

class RecordWindow : public QMdiSubWindow {
  Q_OBJECT

 public:
  explicit RecordWindow(BoardView* view);
  ~RecordWindow() override;

  BoardView* view() const { return view_; }
  QListWidget* list() const { return list_; }
  QTreeWidget* tree() const { return tree_; }
  // The board view goes: forget it, then close.
  void Detach();

  void SelectCurrentMove();  // 113
  void Rebuild();            // 114

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  void FillList(record::RecordBoard& board);
  void FillChildren(QTreeWidgetItem* item);
  QTreeWidgetItem* ItemOfPath(const MovePath& path);
  MovePath PathOfItem(const QTreeWidgetItem* item) const;
  void ShowIndented(QTreeWidgetItem* item);
  void ListRowSelected(int row);
  void TreeItemSelected(QTreeWidgetItem* item);
  void ShowPopup(QWidget* from, const QPoint& at);

  QPointer<BoardView> view_;
  QListWidget* list_;
  QTreeWidget* tree_;
  std::optional<FollowedLine> shown_;  // the line the list shows; none before the first fill
  bool syncing_ = false;  // selections made to follow the board do not move it
};

// The board window a record window belongs to, so that the board's menus stay while the record window is
// active; nullptr when `w` is no record window.
QMdiSubWindow* BoardFrameOf(QMdiSubWindow* w);

// Opens the record window of a view beside the view's board window (or brings it up when open).
RecordWindow* OpenRecordWindow(BoardView* view);

}  // namespace app
