// データベースの設定 (dialog 208): the folder of the database, typed, picked from the remembered ones or
// chosen with フォルダ選択; after the confirmation it becomes the database of the program (SHGDB), is
// remembered first, and the status bar's database pane shows it.
#pragma once
#include <QDialog>

class QComboBox;

namespace app {

class DatabaseSettingsDialog : public QDialog {
  Q_OBJECT

 public:
  explicit DatabaseSettingsDialog(QWidget* parent);

  QComboBox* folder_box() const { return folder_; }
  // Asks, then sets the folder; stays open when the user declines or the database is in use.
  void accept() override;

 private:
  void ChooseFolder();

  QComboBox* folder_;
};

}  // namespace app
