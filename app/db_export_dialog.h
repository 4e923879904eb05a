// 対局のファイル出力 / 詰将棋のファイル出力: the items chosen from the last search's list written into one
// CSA (PCL) file, separated by "/" lines, in 実行の状況 (an existing file is replaced after a question).
#pragma once
#include <QDialog>

#include "app/core/db_forms.h"

class QLineEdit;
class QPushButton;

namespace app {

class DbSelectionList;

class ExportDialog : public QDialog {
  Q_OBJECT

 public:
  ExportDialog(DbItemKind kind, QWidget* parent);

  QLineEdit* file_field() const { return file_; }
  DbSelectionList* selection() const { return selection_; }
  // Writes the chosen items and closes; stays open when the file field names no file.
  void accept() override;

 private:
  void ChooseFile();

  DbItemKind kind_;
  QLineEdit* file_;
  DbSelectionList* selection_;
  QPushButton* export_;
};

}  // namespace app
