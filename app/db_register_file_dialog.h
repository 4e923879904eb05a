// ファイルからの対局登録 / ファイルからの詰将棋登録: a CSA (PCL) file registered whole, as new items (新規)
// or in place of the items whose numbers it names (上書). The registration runs in 実行の状況, one item
// at a time; what was registered before a stop or a faulty item stays registered.
#pragma once
#include <QDialog>

#include "app/core/db_forms.h"

class QGroupBox;
class QLineEdit;
class QRadioButton;

namespace app {

// The registration mode of both registration dialogs: 新規 (checked) or 上書.
QGroupBox* MakeRegisterModeBox(QRadioButton*& new_button, QRadioButton*& overwrite_button);

class RegisterFileDialog : public QDialog {
  Q_OBJECT

 public:
  RegisterFileDialog(DbItemKind kind, QWidget* parent);

  QLineEdit* file_field() const { return file_; }
  QRadioButton* new_button() const { return new_; }
  QRadioButton* overwrite_button() const { return overwrite_; }
  // Checks and reads the file (its message shown and the dialog kept open when it cannot be read), then
  // registers it in the progress window and closes.
  void accept() override;

 private:
  void ChooseFile();

  DbItemKind kind_;
  QLineEdit* file_;
  QRadioButton* new_;
  QRadioButton* overwrite_;
};

}  // namespace app
