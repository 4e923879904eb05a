// 対局棋譜の削除 / 詰将棋棋譜の削除: the items chosen from the last search's list deleted in 実行の状況
// (after the library's question), or, for games, the duplicates among them (重複削除: same moves; the
// earliest game of each group stays and, with 注釈情報を集約する, receives the annotations of the others).
// Deleted items leave the last search's list; the dialog stays open on what is left.
#pragma once
#include <QDialog>
#include <set>

#include "app/core/db_forms.h"

class QCheckBox;
class QPushButton;

namespace app {

class DbSelectionList;

class DeleteDialog : public QDialog {
  Q_OBJECT

 public:
  DeleteDialog(DbItemKind kind, QWidget* parent);

  DbSelectionList* selection() const { return selection_; }
  QCheckBox* gather_box() const { return gather_; }  // nullptr for problems
  // 削除 and 重複削除 on the chosen items.
  void DeleteChosen();
  void DeleteDuplicates();

 private:
  // Deletes the chosen items (or their duplicates) in the progress window, then takes what is gone out of
  // the lists.
  void Run(bool duplicates);
  void UpdateButtons();

  DbItemKind kind_;
  DbSelectionList* selection_;
  QCheckBox* gather_ = nullptr;
  QPushButton* delete_;
  QPushButton* duplicates_ = nullptr;
};

}  // namespace app
