// The header dialogs of a game (対局見出情報の設定) and a tsume problem (詰将棋見出情報の設定): every field at
// its width in bytes, the digit fields in display form while they have no focus, the 戦型 box with the
// standard opening types and the remembered ones (a right click deletes a remembered one).
#pragma once
#include <QDialog>
#include <QStringList>
#include <vector>

#include "app/core/header_form.h"

class QComboBox;
class QWidget;

namespace app {

class HeaderDialog : public QDialog {
  Q_OBJECT

 public:
  // `remembered` is the program's list of remembered opening types; the dialog may delete from it and,
  // on 設定終了, add a new type to it.
  HeaderDialog(bool game, FormValues values, QStringList* remembered, QWidget* parent);

  const FormValues& values() const { return values_; }
  QWidget* field(int index) const { return editors_[static_cast<size_t>(index)]; }
  QComboBox* opening_box() const { return opening_box_; }

  void accept() override;

 private:
  QWidget* MakeEditor(const FormField& field, const std::string& value);
  void LayOut();
  std::string ValueOf(int index) const;
  void AskToDeleteRemembered(const QPoint& at);

  bool game_;
  const std::vector<FormField>& fields_;
  FormValues values_;
  QStringList* remembered_;
  std::vector<QWidget*> editors_;
  QComboBox* opening_box_ = nullptr;
};

class BoardView;
// Runs the dialog of the view's document; on 設定終了 the header takes the values, the document is marked
// modified and the panes show them. False when cancelled.
bool EditHeader(BoardView& view);

}  // namespace app
