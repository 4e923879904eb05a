// JosekiBrowser: the joseki browser 定跡散策, a window of its own owned by the main window, at most one.
// It is bound to the board view that opened it and shows, for that board's position, the joseki moves
// stored in the joseki database as a tree filled as it is expanded. Double click or Enter plays the line
// down to an item onto the board; its commands edit the annotations (in the joseki-annotation editor),
// the move's properties and the position's evaluation (in two modeless boxes), and delete a joseki move.
#pragma once
#include <QMainWindow>
#include <QPointer>
#include <memory>
#include <string>
#include <vector>

#include "app/core/board_controller.h"
#include "app/core/geometry.h"
#include "app/core/joseki_tree.h"

class QLabel;
class QTreeWidget;
class QTreeWidgetItem;

namespace app {

class BoardView;
class CommandUi;
class JosekiAnnotationEditor;
class JosekiPropertiesBox;
class JosekiEvaluationBox;

class JosekiBrowser : public QMainWindow {
  Q_OBJECT

 public:
  JosekiBrowser(BoardView* board, QWidget* owner);
  ~JosekiBrowser() override;

  BoardView* board() const;
  void Bind(BoardView* board);
  QTreeWidget* tree() const { return tree_; }
  CommandUi& commands() { return *commands_; }

  // On opening and on 103: the tree for the bound board's position, the root selected and expanded. False,
  // with the tree as it was, while a rebuild or a played line is under way or another holds the database.
  bool Rebuild();
  // Double click / Enter: closes the open annotation window or box and stops there; otherwise plays the
  // line from the root to `item` onto the bound board and rebuilds at the new position.
  bool PlayItem(QTreeWidgetItem* item);
  // The cell of an item and of the selected item (nullptr when none).
  const JosekiCell* CellOf(const QTreeWidgetItem* item) const;
  const JosekiCell* SelectedCell() const;

  // What 印刷 prints: the items as they show, indented by depth (CP932, CR LF).
  std::string TreeText() const;

  CommandState Query(int id);
  bool Execute(int id);

  bool auto_note() const { return auto_note_; }
  bool closing() const { return closing_; }
  JosekiAnnotationEditor* note_editor() const;
  JosekiPropertiesBox* properties_box() const;
  JosekiEvaluationBox* evaluation_box() const;

 protected:
  void closeEvent(QCloseEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  QTreeWidgetItem* AddItem(QTreeWidgetItem* parent, JosekiCell cell);
  // Reads an item's children once (they stay unread when the database is busy, for a later try).
  void Fill(QTreeWidgetItem* item, JosekiSession& session);
  void Expanded(QTreeWidgetItem* item);
  void SelectionChanged();
  void ShowPopup(const QPoint& at);
  void OpenNote(bool move, bool activate);
  void ShowNote(const JosekiNoteTarget& target, bool activate);
  void OpenBox(bool properties);
  void DeleteSelected();
  // Closes the annotation window and the boxes; true when any was open.
  bool CloseCompanions();
  void UpdatePanes();
  shogidb::DbJob Job();

  class StatusLines;
  QPointer<BoardView> board_;
  QTreeWidget* tree_;
  CommandUi* commands_;
  QLabel* panes_[4] = {};
  std::unique_ptr<StatusLines> status_lines_;
  std::vector<JosekiCell> cells_;  // an item's data is its index here
  QPointer<JosekiAnnotationEditor> editor_;
  QPointer<JosekiPropertiesBox> properties_;
  QPointer<JosekiEvaluationBox> evaluation_;
  Rect note_rect_, note_stored_;
  bool auto_note_ = false;
  bool rebuilding_ = false, playing_ = false, closing_ = false;
};

// 32830 from a board view: opens the browser bound to it, or binds the open one to it and brings it up.
JosekiBrowser* OpenJosekiBrowser(BoardView* board);
// The open browser, if any.
JosekiBrowser* FindJosekiBrowser();
// 103 from a board view: the browser rebuilds when it is bound to that view.
void NotifyJosekiBrowser(BoardView* board);

}  // namespace app
