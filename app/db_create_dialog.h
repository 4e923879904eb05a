// データベースの新規作成 (dialog 220): the name of a new folder, made with the six tables in it; the
// creation reports table by table in 実行の状況. A folder made is remembered for データベースの設定.
#pragma once
#include <QDialog>

class QLineEdit;

namespace app {

class DatabaseCreateDialog : public QDialog {
  Q_OBJECT

 public:
  explicit DatabaseCreateDialog(QWidget* parent);

  QLineEdit* folder_field() const { return folder_; }
  // Creates the database named in the field; the dialog closes when it was created, and stays open for
  // another name when the creation failed (the reason has been shown).
  void accept() override;

 private:
  void ChooseFolder();

  QLineEdit* folder_;
};

}  // namespace app
