// 対局の登録 / 詰将棋の登録 (現バッファの登録, 32820): the game of a game window (its selected line) or the
// problem of a tsume window (its whole tree) registered as new (新規) or in place of the item its header
// numbers (上書). The header is shown as text and can be edited first with the header dialog; a changed
// buffer is registered only after the user agrees.
#pragma once
#include <QDialog>

class QPlainTextEdit;
class QRadioButton;

namespace app {

class BoardView;

class RegisterBufferDialog : public QDialog {
  Q_OBJECT

 public:
  RegisterBufferDialog(BoardView& view, QWidget* parent);

  QRadioButton* new_button() const { return new_; }
  QRadioButton* overwrite_button() const { return overwrite_; }
  QPlainTextEdit* header_text() const { return header_; }
  // Asks about a changed buffer, requires the number for 上書 (the dialog stays open without one), then
  // registers in the progress window and closes.
  void accept() override;
  // The header dialog over the view; the text follows what it stored.
  void EditHeaderFirst();

 private:
  void ShowHeader();

  BoardView& view_;
  bool game_;
  QPlainTextEdit* header_;
  QRadioButton* new_;
  QRadioButton* overwrite_;
};

}  // namespace app
