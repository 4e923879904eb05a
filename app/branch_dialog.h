// The branch dialogs of a board view: 243 "分岐手順の選択" chooses which alternative of the move just
// played is on the board, 249 "指し手順の削除" deletes one with its moves. The list and what accepting
// does are the record navigation's (app/core/record_navigation.h); the dialogs only show and ask.
#pragma once
#include <QDialog>
#include <string>
#include <vector>

class QListWidget;

namespace app {

class BoardView;

class BranchDialog : public QDialog {
  Q_OBJECT

 public:
  enum Kind { kSelect, kDelete };
  // `lines` (UTF-8) are the alternatives; `current` is preselected.
  BranchDialog(Kind kind, const std::vector<std::string>& lines, int current, QWidget* parent = nullptr);
  int selected() const;
  QListWidget* list() const { return list_; }

 private:
  QListWidget* list_;
};

// Commands 32871 and 32899 on a view: show the dialog and, when accepted, do what it asks.
void RunBranchSelection(BoardView* view);
void RunBranchDeletion(BoardView* view);

}  // namespace app
